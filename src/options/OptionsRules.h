#pragma once
#include "settings/AppSettings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace snaplorn {

// ---- hot-key boxes ------------------------------------------------------------

// The texts of the modifier boxes ("SHIFT", "CTRL", "ALT") and of the key
// boxes ("F1" to "F12", then "A" to "Z"), in list order.
QStringList hotKeyModifierList();
QStringList hotKeyKeyList();

// Box text for a code: "ALT" 1, "CTRL" 2, "SHIFT" 4; "F1".."F12" 112-123,
// "A".."Z" 65-90. Any other code shows as an empty box.
QString modifierBoxText(int modifierCode);
QString keyBoxText(int virtualKey);
// Code for a box text; an empty or unknown text is 0.
int modifierCodeOf(const QString& boxText);
int keyCodeOf(const QString& boxText);

// The two box texts of a stored hot-key setting: the modifier is the first
// character, the key everything from the third character on.
struct HotKeyBoxes {
    QString modifier;
    QString key;
};
HotKeyBoxes hotKeyBoxesFromSpec(const QString& specText);
// "modifier,key" from the two boxes ("2,65" for CTRL and A).
QString hotKeySpecFromBoxes(const HotKeyBoxes& boxes);

// ---- the dialog's entries ----------------------------------------------------

// What the Options dialog shows, as plain data.
struct OptionsForm {
    bool runInTray = false;
    QString autoFolder;
    QString autoInterval;
    QString autoImagesNum;
    QString jpgQuality;
    bool showMessages = true; // "Show me important messages": ticked unless one is blocked
    bool hotKeys = true;
    HotKeyBoxes rect;
    HotKeyBoxes desk;
    HotKeyBoxes win;
};

// The entries the settings record gives when the dialog opens.
OptionsForm optionsFormFromSettings(const AppSettings& settings);

enum class OptionsField {
    AutoFolder,
    JpgQuality,
    AutoInterval,
    AutoImagesNum,
    RectModifier,
    RectKey,
    DeskModifier,
    DeskKey,
    WinModifier,
    WinKey
};
struct OptionsProblem {
    QString message;
    OptionsField focus; // the control that takes the focus
};

// The checks of OK, in order; the first that fails is returned: folder,
// quality, interval, count, then (only with hot keys ticked) each hot-key
// row must have both a modifier and a key, since a half-chosen row could
// never be registered. The folder test is given so that tests can stand in
// for the file system.
using FolderTest = std::function<bool(const QString&)>;
std::optional<OptionsProblem> validateOptions(const OptionsForm& form, const FolderTest& folderOk);

// The record after OK: `current` with the entries of a valid form stored.
// The hot-key settings change only when hot keys are ticked.
AppSettings applyOptions(const OptionsForm& form, const AppSettings& current);

} // namespace snaplorn

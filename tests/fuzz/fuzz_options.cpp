// The Options dialog's checks on entries made of the fuzzer's bytes, and what
// OK then stores: in range, stable when the dialog is opened again, and read
// back unchanged by the next start.
//
// Input: a byte of ticks, a byte choosing the user's locale, then the entries
// (folder, interval, count, quality and the six hot-key boxes) as NUL-ended
// fields.
#include "FuzzInput.h"

#include "settings/AppSettings.h"
#include "settings/Registry.h"
#include "options/OptionsRules.h"

#include <QFile>
#include <QLocale>

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

const QString DefaultFolder = QStringLiteral("/home/someone/Pictures");

OptionsForm formFrom(FuzzInput& in, uint8_t ticks)
{
    OptionsForm form;
    form.runInTray = ticks & 1;
    form.showMessages = ticks & 2;
    form.hotKeys = ticks & 4;
    form.autoFolder = in.textField();
    form.autoInterval = in.textField();
    form.autoImagesNum = in.textField();
    form.jpgQuality = in.textField();
    for (HotKeyBoxes* boxes : {&form.rect, &form.desk, &form.win}) {
        boxes->modifier = in.textField();
        boxes->key = in.textField();
    }
    return form;
}

void checkStored(const AppSettings& s)
{
    require(s.JpgQuality >= 1 && s.JpgQuality <= 100, "stored quality out of range");
    require(s.AutoInterval >= 0.2f && s.AutoInterval <= 60.0f, "stored interval out of range");
    require(s.AutoImagesNum >= 1, "stored image count out of range");
    require(s.RunInTray == 0 || s.RunInTray == 1, "stored tray setting not 0 or 1");
}

bool sameSettings(const AppSettings& a, const AppSettings& b, bool withFolder)
{
    return a.RunInTray == b.RunInTray && a.JpgQuality == b.JpgQuality &&
           a.AutoInterval == b.AutoInterval && a.AutoImagesNum == b.AutoImagesNum &&
           a.HotKeyPresent == b.HotKeyPresent &&
           (a.HotKeyPresent != 1 || (a.HotKeyRect == b.HotKeyRect && a.HotKeyDesk == b.HotKeyDesk &&
                                     a.HotKeyWin == b.HotKeyWin)) &&
           (!withFolder || a.AutoFolder == b.AutoFolder);
}

// A folder the settings file gives back as written: a registry read stops at
// a NUL and after 254 characters, and a blank value counts as missing.
bool storableFolder(const QString& folder)
{
    const bool blank = folder.count(QLatin1Char(' ')) == folder.size();
    return folder.size() <= Registry::MaxReadLength && !folder.contains(QChar(0)) && !blank;
}

void checkNextStart(const AppSettings& stored, bool clearHideMsgID)
{
    static const QString path = scratchFolder() + QStringLiteral("/options.ini");
    QFile::remove(path);
    Registry registry(path);
    writeSettingsRecord(registry, stored, clearHideMsgID);
    AppSettings loaded = AppSettings::defaults(DefaultFolder);
    const LoadSettingsOutcome outcome = LoadSettings(registry, DefaultFolder, loaded);
    require(outcome.errors.isEmpty(), "stored settings do not read back",
            outcome.errors.join(QLatin1Char('\n')));
    require(sameSettings(stored, loaded, storableFolder(stored.AutoFolder)),
            "next start reads other settings");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(false);
    FuzzInput in(data, size);
    const uint8_t ticks = in.byte();
    const QLocale::Language languages[] = {QLocale::C, QLocale::German, QLocale::French};
    QLocale::setDefault(QLocale(languages[in.byte() % 3]));
    const OptionsForm form = formFrom(in, ticks);
    const bool folderOk = ticks & 8;
    const std::optional<OptionsProblem> problem =
        validateOptions(form, [folderOk](const QString&) { return folderOk; });
    if (problem) {
        require(!problem->message.isEmpty(), "problem without a message");
        require(folderOk || problem->focus == OptionsField::AutoFolder, "bad folder let through");
        return 0;
    }
    for (const HotKeyBoxes* boxes : {&form.rect, &form.desk, &form.win})
        require(!form.hotKeys ||
                    (modifierCodeOf(boxes->modifier) != 0 && keyCodeOf(boxes->key) != 0),
                "half-chosen hot key accepted", boxes->modifier + QLatin1Char('+') + boxes->key);
    for (const QString* number : {&form.jpgQuality, &form.autoImagesNum})
        require(toInt16(*number).error == ConversionError::None, "accepted number not storable",
                *number);
    require(toSingle(form.autoInterval).error == ConversionError::None,
            "accepted interval not storable", form.autoInterval);
    const AppSettings stored = applyOptions(form, AppSettings::defaults(DefaultFolder));
    checkStored(stored);
    // Opened again and confirmed, the dialog stores the same record.
    const OptionsForm reopened = optionsFormFromSettings(stored);
    require(!validateOptions(reopened, [](const QString&) { return true; }),
            "stored settings fail the dialog's checks");
    require(sameSettings(applyOptions(reopened, stored), stored, true),
            "reopened dialog stores other settings");
    checkNextStart(stored, form.showMessages);
    return 0;
}

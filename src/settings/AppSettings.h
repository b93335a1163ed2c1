#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace snaplorn {

class Registry;

// The program's ten settings, read once at start and written back by the
// Options dialog. A new record holds every fallback value of the settings
// table, with no auto-capture folder.
struct AppSettings {
    AppSettings();

    qint16 RunInTray = 0;
    qint16 JpgQuality = 0;
    QString AutoFolder;
    float AutoInterval = 0;
    qint16 AutoImagesNum = 0;
    qint16 HotKeyPresent = 0;
    QString HotKeyRect;
    QString HotKeyDesk;
    QString HotKeyWin;
    QString HideMsgID;

    // The record as it is before anything is read: every default in force.
    static AppSettings defaults(const QString& defaultAutoFolder);
};

struct LoadSettingsOutcome {
    bool keyCreated = false;
    // One description per value that could not be converted; that value
    // keeps its default and the others are still read.
    QStringList errors;
};

// Reads the settings key into `settings`, creating the key with its first
// values when it is missing. `defaultAutoFolder` is the folder the
// auto-capture setting falls back to (the user's Pictures folder).
LoadSettingsOutcome LoadSettings(Registry& registry, const QString& defaultAutoFolder,
                                 AppSettings& settings);

// The values the Options dialog writes, in the order they are written:
// "RunInTray", "JpgQuality", "AutoFolder", "AutoInterval", "AutoImagesNum",
// "HideMsgID" (empty, only when messages are to be shown again),
// "HotKeyPresent", then the three hot keys only when HotKeyPresent is 1.
using SettingValue = QPair<QString, QString>; // name, text
QList<SettingValue> settingsRecordValues(const AppSettings& settings, bool clearHideMsgID);
// Creates the settings key when it is missing and writes those values.
void writeSettingsRecord(Registry& registry, const AppSettings& settings, bool clearHideMsgID);

// The message blocked in the message box since the start: the box stores it
// straight into the settings file, so `settings` takes it from there.
void reloadHideMsgID(Registry& registry, AppSettings& settings);

// Text conversions of the settings store. Integers accept surrounding spaces,
// a sign and a decimal fraction (rounded half to even) in the user's locale
// or with '.'; anything else is a type mismatch, and a value outside the
// 16-bit range an overflow. The real takes the locale's decimal separator
// and also '.'.
enum class ConversionError { None, TypeMismatch, Overflow };
struct Int16Conversion {
    qint16 value = 0;
    ConversionError error = ConversionError::None;
};
struct RealConversion {
    float value = 0;
    ConversionError error = ConversionError::None;
};
Int16Conversion toInt16(const QString& text);
RealConversion toSingle(const QString& text);
std::optional<double> parseLocaleNumber(const QString& text);
// Shortest decimal text of a real, with '.' ("10", "0.5").
QString singleToText(float value);

} // namespace snaplorn

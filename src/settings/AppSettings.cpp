#include "settings/AppSettings.h"

#include "settings/Registry.h"
#include "settings/SettingsTable.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace snaplorn {

namespace {

const char* errorName(ConversionError error)
{
    return error == ConversionError::Overflow ? "Overflow" : "Type mismatch";
}

bool isBlank(const QString& text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

} // namespace

std::optional<double> parseLocaleNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Group separators are refused, so "0,5" is never read as 5.
    QLocale user;
    user.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = user.toDouble(trimmed, &ok);
    if (!ok)
        value = c.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

Int16Conversion toInt16(const QString& text)
{
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number)
        return {0, ConversionError::TypeMismatch};
    const double rounded = std::nearbyint(*number); // default rounding: half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return {0, ConversionError::Overflow};
    return {static_cast<qint16>(rounded), ConversionError::None};
}

RealConversion toSingle(const QString& text)
{
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number)
        return {0, ConversionError::TypeMismatch};
    if (std::fabs(*number) > double(std::numeric_limits<float>::max()))
        return {0, ConversionError::Overflow};
    return {static_cast<float>(*number), ConversionError::None};
}

QString singleToText(float value)
{
    return QString::number(double(value), 'g', std::numeric_limits<float>::max_digits10 - 1);
}

namespace {

// The text of a row's value as the store keeps it.
QString valueText(const AppSettings& settings, const SettingRow& row)
{
    if (auto field = std::get_if<qint16 AppSettings::*>(&row.field))
        return QString::number(settings.**field);
    if (auto field = std::get_if<float AppSettings::*>(&row.field))
        return singleToText(settings.**field);
    return settings.*std::get<QString AppSettings::*>(row.field);
}

QString rowText(const char* text, const QString& defaultAutoFolder)
{
    return text ? QString::fromLatin1(text) : defaultAutoFolder;
}

// Stores a row's value from its text; the conversion's error, if any.
ConversionError setFromText(AppSettings& settings, const SettingRow& row, const QString& text)
{
    if (auto field = std::get_if<qint16 AppSettings::*>(&row.field)) {
        const Int16Conversion c = toInt16(text);
        if (c.error == ConversionError::None)
            settings.** field = c.value;
        return c.error;
    }
    if (auto field = std::get_if<float AppSettings::*>(&row.field)) {
        const RealConversion c = toSingle(text);
        if (c.error == ConversionError::None)
            settings.** field = c.value;
        return c.error;
    }
    settings.*std::get<QString AppSettings::*>(row.field) = text;
    return ConversionError::None;
}

} // namespace

AppSettings::AppSettings()
{
    for (const SettingRow& row : settingsTable())
        if (row.fallback)
            setFromText(*this, row, QString::fromLatin1(row.fallback));
}

AppSettings AppSettings::defaults(const QString& defaultAutoFolder)
{
    AppSettings s;
    s.AutoFolder = defaultAutoFolder;
    return s;
}

LoadSettingsOutcome LoadSettings(Registry& registry, const QString& defaultAutoFolder,
                                 AppSettings& settings)
{
    LoadSettingsOutcome outcome;
    const QString key = QString::fromLatin1(SettingsKey);
    if (!registry.keyExists(key)) {
        outcome.keyCreated = registry.createKey(key);
        for (const SettingRow& row : settingsTable())
            RegWriteString(registry, RegRoot::LocalMachine, key, QLatin1String(row.key),
                           rowText(row.firstValue, defaultAutoFolder));
    }
    const AppSettings fallback = AppSettings::defaults(defaultAutoFolder);
    // One reading of the file for the whole record: a settings file swollen
    // by other programs' sections costs one parse, not one per value.
    const Registry::Section stored = registry.readKey(key).value_or(Registry::Section());
    for (const SettingRow& row : settingsTable()) {
        const QString fallbackText = valueText(fallback, row);
        setFromText(settings, row, fallbackText);
        const auto text = stored.constFind(QLatin1String(row.key));
        if (text == stored.cend() || isBlank(*text))
            continue;
        const ConversionError error = setFromText(settings, row, *text);
        if (error != ConversionError::None)
            outcome.errors << QStringLiteral("%1: the setting \"%2\" holds \"%3\"; %4 is used "
                                             "instead.")
                                  .arg(QLatin1String(errorName(error)), QLatin1String(row.key),
                                       *text, fallbackText);
    }
    return outcome;
}

QList<SettingValue> settingsRecordValues(const AppSettings& settings, bool clearHideMsgID)
{
    QList<SettingValue> values;
    for (const SettingRow& row : settingsTable()) {
        const QString name = QLatin1String(row.key);
        switch (row.written) {
        case SettingWritten::Always:
            values.append({name, valueText(settings, row)});
            break;
        case SettingWritten::WhenMessagesShown:
            if (clearHideMsgID)
                values.append({name, QString()});
            break;
        case SettingWritten::WhenHotKeysOn:
            if (settings.HotKeyPresent == 1)
                values.append({name, valueText(settings, row)});
            break;
        }
    }
    return values;
}

void reloadHideMsgID(Registry& registry, AppSettings& settings)
{
    if (const std::optional<QString> blocked =
            registry.readString(QString::fromLatin1(SettingsKey), QStringLiteral("HideMsgID")))
        settings.HideMsgID = *blocked;
}

void writeSettingsRecord(Registry& registry, const AppSettings& settings, bool clearHideMsgID)
{
    const QString key = QString::fromLatin1(SettingsKey);
    if (!registry.keyExists(key))
        registry.createKey(key);
    for (const SettingValue& value : settingsRecordValues(settings, clearHideMsgID))
        RegWriteString(registry, RegRoot::LocalMachine, key, value.first, value.second);
}

} // namespace snaplorn

#include "app/AppSettings.h"

#include "app/Registry.h"

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
        const std::pair<const char*, QString> firstValues[] = {
            {"RunInTray", QStringLiteral("0")},      {"JpgQuality", QStringLiteral("80")},
            {"AutoFolder", defaultAutoFolder},       {"AutoInterval", QStringLiteral("10")},
            {"AutoImagesNum", QStringLiteral("5")},  {"HotKeyPresent", QStringLiteral("1")},
            {"HotKeyRect", QStringLiteral("1,121")}, {"HotKeyDesk", QStringLiteral("1,122")},
            {"HotKeyWin", QStringLiteral("1,123")},  {"HideMsgID", QString()},
        };
        for (const auto& [name, value] : firstValues)
            RegWriteString(registry, RegRoot::LocalMachine, key, QLatin1String(name), value);
    }

    const AppSettings fallback = AppSettings::defaults(defaultAutoFolder);
    auto read = [&](const char* name) -> std::optional<QString> {
        std::optional<QString> text = registry.readString(key, QLatin1String(name));
        if (!text || isBlank(*text))
            return std::nullopt;
        return text;
    };
    auto note = [&](const char* name, const QString& text, ConversionError error,
                    const QString& used) {
        outcome.errors << QStringLiteral("%1: the setting \"%2\" holds \"%3\"; %4 is used instead.")
                              .arg(QLatin1String(errorName(error)), QLatin1String(name), text,
                                   used);
    };
    auto readInt = [&](const char* name, qint16& field, qint16 fallbackValue) {
        field = fallbackValue;
        if (const auto text = read(name)) {
            const Int16Conversion c = toInt16(*text);
            if (c.error == ConversionError::None)
                field = c.value;
            else
                note(name, *text, c.error, QString::number(fallbackValue));
        }
    };
    auto readText = [&](const char* name, QString& field, const QString& fallbackValue) {
        field = read(name).value_or(fallbackValue);
    };

    readInt("RunInTray", settings.RunInTray, fallback.RunInTray);
    readInt("JpgQuality", settings.JpgQuality, fallback.JpgQuality);
    readText("AutoFolder", settings.AutoFolder, fallback.AutoFolder);
    settings.AutoInterval = fallback.AutoInterval;
    if (const auto text = read("AutoInterval")) {
        const RealConversion c = toSingle(*text);
        if (c.error == ConversionError::None)
            settings.AutoInterval = c.value;
        else
            note("AutoInterval", *text, c.error, singleToText(fallback.AutoInterval));
    }
    readInt("AutoImagesNum", settings.AutoImagesNum, fallback.AutoImagesNum);
    readInt("HotKeyPresent", settings.HotKeyPresent, fallback.HotKeyPresent);
    readText("HotKeyRect", settings.HotKeyRect, fallback.HotKeyRect);
    readText("HotKeyDesk", settings.HotKeyDesk, fallback.HotKeyDesk);
    readText("HotKeyWin", settings.HotKeyWin, fallback.HotKeyWin);
    readText("HideMsgID", settings.HideMsgID, fallback.HideMsgID);
    return outcome;
}

} // namespace snaplorn

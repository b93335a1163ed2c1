#include "options/OptionsRules.h"

#include "base/Texts.h"
#include "settings/SettingsTable.h"

#include <cmath>

namespace snaplorn {

namespace {

constexpr int FirstFunctionKey = 112; // F1
constexpr int FunctionKeys = 12;

// A number in the user's locale (or with '.'), rounded half to even.
std::optional<double> roundedNumber(const QString& text)
{
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number)
        return std::nullopt;
    return std::nearbyint(*number);
}

} // namespace

QStringList hotKeyModifierList()
{
    return {QStringLiteral("SHIFT"), QStringLiteral("CTRL"), QStringLiteral("ALT")};
}

QStringList hotKeyKeyList()
{
    QStringList keys;
    for (int i = 1; i <= FunctionKeys; ++i)
        keys << QStringLiteral("F%1").arg(i);
    for (char c = 'A'; c <= 'Z'; ++c)
        keys << QString(QLatin1Char(c));
    return keys;
}

QString modifierBoxText(int modifierCode)
{
    switch (modifierCode) {
    case 1:
        return QStringLiteral("ALT");
    case 2:
        return QStringLiteral("CTRL");
    case 4:
        return QStringLiteral("SHIFT");
    default:
        return QString();
    }
}

QString keyBoxText(int virtualKey)
{
    if (virtualKey >= FirstFunctionKey && virtualKey < FirstFunctionKey + FunctionKeys)
        return QStringLiteral("F%1").arg(virtualKey - FirstFunctionKey + 1);
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return QString(QLatin1Char(char(virtualKey)));
    return QString();
}

int modifierCodeOf(const QString& boxText)
{
    for (int code : {1, 2, 4})
        if (boxText == modifierBoxText(code))
            return code;
    return 0;
}

int keyCodeOf(const QString& boxText)
{
    if (boxText.isEmpty())
        return 0;
    for (int code = FirstFunctionKey; code < FirstFunctionKey + FunctionKeys; ++code)
        if (boxText == keyBoxText(code))
            return code;
    if (boxText.size() == 1 && boxText.at(0) >= QLatin1Char('A') &&
        boxText.at(0) <= QLatin1Char('Z'))
        return boxText.at(0).unicode();
    return 0;
}

HotKeyBoxes hotKeyBoxesFromSpec(const QString& specText)
{
    HotKeyBoxes boxes;
    if (specText.isEmpty())
        return boxes;
    const QChar first = specText.at(0);
    if (first >= QLatin1Char('0') && first <= QLatin1Char('9'))
        boxes.modifier = modifierBoxText(first.unicode() - '0');
    bool isNumber = false;
    const int key = specText.mid(2).trimmed().toInt(&isNumber);
    if (isNumber)
        boxes.key = keyBoxText(key);
    return boxes;
}

QString hotKeySpecFromBoxes(const HotKeyBoxes& boxes)
{
    return QStringLiteral("%1,%2").arg(modifierCodeOf(boxes.modifier)).arg(keyCodeOf(boxes.key));
}

OptionsForm optionsFormFromSettings(const AppSettings& settings)
{
    OptionsForm form;
    form.runInTray = settings.RunInTray == 1;
    form.jpgQuality = QString::number(settings.JpgQuality);
    form.autoFolder = settings.AutoFolder;
    form.autoInterval = singleToText(settings.AutoInterval);
    form.autoImagesNum = QString::number(settings.AutoImagesNum);
    // Ticked only when no message is blocked ("HideMsgID" empty, or "0" as
    // it reads when missing), so that OK for another reason does not bring
    // back a message the user turned off.
    const QString blocked = settings.HideMsgID.trimmed();
    form.showMessages = blocked.isEmpty() || blocked == QLatin1String("0");
    form.hotKeys = settings.HotKeyPresent == 1;
    form.rect = hotKeyBoxesFromSpec(settings.HotKeyRect);
    form.desk = hotKeyBoxesFromSpec(settings.HotKeyDesk);
    form.win = hotKeyBoxesFromSpec(settings.HotKeyWin);
    return form;
}

std::optional<OptionsProblem> validateOptions(const OptionsForm& form, const FolderTest& folderOk)
{
    if (!folderOk(form.autoFolder))
        return OptionsProblem{QString::fromUtf8(texts::OptionsBadFolder), OptionsField::AutoFolder};
    const SettingRow& qualityRange = settingRow("JpgQuality");
    const std::optional<double> quality = roundedNumber(form.jpgQuality);
    if (!quality || *quality < qualityRange.minimum || *quality > qualityRange.maximum)
        return OptionsProblem{QString::fromUtf8(texts::OptionsBadQuality),
                              OptionsField::JpgQuality};
    const SettingRow& intervalRange = settingRow("AutoInterval");
    const std::optional<double> interval = parseLocaleNumber(form.autoInterval);
    if (!interval || *interval < intervalRange.minimum || *interval > intervalRange.maximum)
        return OptionsProblem{QString::fromUtf8(texts::OptionsBadInterval),
                              OptionsField::AutoInterval};
    // The count is stored as a 16-bit number, so a count it cannot hold is
    // refused here rather than failing halfway through storing.
    const SettingRow& imagesRange = settingRow("AutoImagesNum");
    const std::optional<double> images = parseLocaleNumber(form.autoImagesNum);
    if (!images || *images < imagesRange.minimum ||
        std::nearbyint(*images) > imagesRange.maximum)
        return OptionsProblem{QString::fromUtf8(texts::OptionsBadImagesNum),
                              OptionsField::AutoImagesNum};
    if (!form.hotKeys)
        return std::nullopt;
    struct Row {
        const HotKeyBoxes& boxes;
        const char* caption;
        OptionsField modifier;
        OptionsField key;
    };
    const Row rows[] = {
        {form.rect, texts::OptionsHotKeyRect, OptionsField::RectModifier, OptionsField::RectKey},
        {form.desk, texts::OptionsHotKeyDesk, OptionsField::DeskModifier, OptionsField::DeskKey},
        {form.win, texts::OptionsHotKeyWin, OptionsField::WinModifier, OptionsField::WinKey},
    };
    for (const Row& row : rows) {
        const bool noModifier = modifierCodeOf(row.boxes.modifier) == 0;
        if (noModifier || keyCodeOf(row.boxes.key) == 0)
            return OptionsProblem{QString::fromUtf8(texts::OptionsHotKeyIncomplete)
                                      .arg(QString::fromUtf8(row.caption).trimmed()),
                                  noModifier ? row.modifier : row.key};
    }
    return std::nullopt;
}

AppSettings applyOptions(const OptionsForm& form, const AppSettings& current)
{
    AppSettings s = current;
    s.RunInTray = form.runInTray ? 1 : 0;
    s.JpgQuality = toInt16(form.jpgQuality).value;
    s.AutoFolder = form.autoFolder;
    s.AutoInterval = toSingle(form.autoInterval).value;
    s.AutoImagesNum = toInt16(form.autoImagesNum).value;
    s.HotKeyPresent = form.hotKeys ? 1 : 0;
    if (s.HotKeyPresent == 1) {
        s.HotKeyRect = hotKeySpecFromBoxes(form.rect);
        s.HotKeyDesk = hotKeySpecFromBoxes(form.desk);
        s.HotKeyWin = hotKeySpecFromBoxes(form.win);
    }
    return s;
}

} // namespace snaplorn

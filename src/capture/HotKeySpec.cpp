#include "capture/HotKeySpec.h"

namespace snaplorn {

std::optional<HotKeySpec> HotKeySpec::parse(const QString& text)
{
    if (text.size() < 3 || !text.at(0).isDigit() || text.at(0).unicode() > '9')
        return std::nullopt;
    const QString keyText = text.mid(2).trimmed();
    bool isNumber = false;
    const int key = keyText.toInt(&isNumber, 10);
    if (!isNumber || key < 1 || key > 254)
        return std::nullopt;
    return HotKeySpec{text.at(0).unicode() - '0', key};
}

QString HotKeySpec::text() const
{
    return QStringLiteral("%1,%2").arg(modifiers).arg(virtualKey);
}

} // namespace snaplorn

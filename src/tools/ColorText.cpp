#include "tools/ColorText.h"

#include "base/Texts.h"

#include <cstdlib>

namespace snaplorn {

ColorRef toColorRef(QRgb rgb)
{
    return ColorRef(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

QRgb fromColorRef(ColorRef colour)
{
    return qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

qint16 GetRGBPart(ColorRef colour, const QString& part)
{
    // C++ integer division already truncates toward zero, and % takes the
    // dividend's sign.
    if (part == QLatin1String("R"))
        return qint16(colour % 256);
    if (part == QLatin1String("G"))
        return qint16((colour / 256) % 256);
    if (part == QLatin1String("B"))
        return qint16((colour / 65536) % 256);
    return 0;
}

namespace {

// The hexadecimal digits of a 16-bit value (negative values as their 16-bit
// pattern), preceded by "0", of which the last two characters are kept.
QString twoHexDigits(qint16 value)
{
    const QString digits = QLatin1Char('0') + QString::number(quint16(value), 16).toUpper();
    return digits.right(2);
}

} // namespace

QString RGBToHex(qint16 r, qint16 g, qint16 b)
{
    return twoHexDigits(r) + twoHexDigits(g) + twoHexDigits(b);
}

QString RGBToSafeHex(qint16& r, qint16& g, qint16& b)
{
    r = NearestSafeLevel(r);
    g = NearestSafeLevel(g);
    b = NearestSafeLevel(b);
    return RGBToHex(r, g, b);
}

qint16 NearestSafeLevel(qint16 v)
{
    int best = 0;
    int bestDistance = std::abs(int(v));
    for (int level : {51, 102, 153, 204, 255}) {
        const int distance = std::abs(level - int(v));
        if (distance < bestDistance) {
            best = level;
            bestDistance = distance;
        }
    }
    return qint16(best);
}

QString colorReadout(ColorRef colour)
{
    const qint16 r = GetRGBPart(colour, QStringLiteral("R"));
    const qint16 g = GetRGBPart(colour, QStringLiteral("G"));
    const qint16 b = GetRGBPart(colour, QStringLiteral("B"));
    return QLatin1String(texts::ReadoutWebColor) + RGBToHex(r, g, b) +
           QLatin1String(texts::ReadoutRgb) + QString::number(r) + QLatin1Char(',') +
           QString::number(g) + QLatin1Char(',') + QString::number(b) + QLatin1Char(')');
}

QString hexColorText(ColorRef colour)
{
    return QLatin1Char('#') + RGBToHex(GetRGBPart(colour, QStringLiteral("R")),
                                       GetRGBPart(colour, QStringLiteral("G")),
                                       GetRGBPart(colour, QStringLiteral("B")));
}

QString safeHexColorText(ColorRef colour)
{
    qint16 r = GetRGBPart(colour, QStringLiteral("R"));
    qint16 g = GetRGBPart(colour, QStringLiteral("G"));
    qint16 b = GetRGBPart(colour, QStringLiteral("B"));
    return QLatin1Char('#') + RGBToSafeHex(r, g, b);
}

} // namespace snaplorn

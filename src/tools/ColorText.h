#pragma once
#include <QRgb>
#include <QString>

namespace snaplorn {

// Colours as the program shows and copies them. A colour value is a COLORREF,
// 0x00BBGGRR: red in the low byte, green in the next, blue in the third.
using ColorRef = qint32;

ColorRef toColorRef(QRgb rgb);
QRgb fromColorRef(ColorRef colour);

// The component named by part ("R", "G" or "B"; anything else gives 0).
// Division truncates toward zero and the remainder takes the dividend's sign.
qint16 GetRGBPart(ColorRef colour, const QString& part);
// Two upper-case hexadecimal digits per component, in the order r, g, b:
// RGBToHex(200, 30, 100) is "C81E64".
QString RGBToHex(qint16 r, qint16 g, qint16 b);
// Snaps the three components to the web-safe levels, in the caller's
// variables, and returns their hexadecimal text: (200, 30, 100) -> "CC3366".
QString RGBToSafeHex(qint16& r, qint16& g, qint16& b);
// The web-safe level (0, 51, 102, 153, 204, 255) closest to v; on equal
// distance the lower level.
qint16 NearestSafeLevel(qint16 v);

// Status-bar read-out of a pixel: "Web color= #C81E64, RGB=(200,30,100)".
QString colorReadout(ColorRef colour);
// Clipboard texts of the canvas menu's two colour commands: "#C81E64" and
// its web-safe form "#CC3366".
QString hexColorText(ColorRef colour);
QString safeHexColorText(ColorRef colour);

} // namespace snaplorn

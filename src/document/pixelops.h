#pragma once
#include <QImage>

namespace snaplorn {

// Whole-image pixel operations. Each works in place on a Format_RGB32 image
// (other formats are converted first), one scanline at a time, and leaves
// the image exactly as the operation defines it: no smoothing, no colour
// management.

// Mirrors left to right: column x receives column width - 1 - x.
void flipHorizontal(QImage& image);
// Mirrors top to bottom: row y receives row height - 1 - y.
void flipVertical(QImage& image);
// Each of red, green and blue becomes 255 minus its value.
void invertColors(QImage& image);
// Every pixel becomes the gray of grayLevel(red, green, blue).
void grayscale(QImage& image);

// The gray of one colour: 0.59 G + 0.3 R + 0.11 B summed in double precision
// in that order, rounded to the nearest integer with halves to the even one.
// Pure red gives 76 (255 x 0.3 lies just below 76.5), green 150, blue 28.
int grayLevel(int red, int green, int blue);

// The whole-image commands leave images smaller than this alone.
constexpr int MinimumOperationSize = 6;
bool largeEnoughForOperation(const QImage& image);

} // namespace snaplorn

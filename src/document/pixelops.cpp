#include "document/pixelops.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace snaplorn {

namespace {

void ensureRgb32(QImage& image)
{
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
}

QRgb* row(QImage& image, int y)
{
    return reinterpret_cast<QRgb*>(image.scanLine(y));
}

// The gray of one pixel without floating point where that is provably the
// same: the exact value is s / 100 with s = 59 G + 30 R + 11 B. Unless s / 100
// is exactly halfway between two integers, it lies at least 0.01 from every
// rounding boundary, far beyond the error of the double sum, so rounding the
// exact value gives the same integer. Halfway cases (s ending in 50) depend
// on the double sum's last bit and take the double path. A test runs every
// colour through both.
//
// (s + 50) / 100 is computed as ((s + 50) * 41944) >> 22, which is exact for
// s + 50 <= 25550, the largest possible value.
constexpr unsigned DivideBy100 = 41944;
constexpr unsigned DivideShift = 22;

inline QRgb grayPixel(QRgb pixel)
{
    const unsigned r = (pixel >> 16) & 0xff;
    const unsigned g = (pixel >> 8) & 0xff;
    const unsigned b = pixel & 0xff;
    const unsigned shifted = 59 * g + 30 * r + 11 * b + 50;
    unsigned gray = (shifted * DivideBy100) >> DivideShift;
    if (shifted == gray * 100)
        gray = unsigned(grayLevel(int(r), int(g), int(b)));
    return 0xff000000u | (gray * 0x010101u);
}

#if defined(__SSE2__)
// Eight pixels at a time: the weighted sums in 16-bit lanes, the division
// by a multiply, and the rare halfway pixels fixed one by one afterwards.
void grayRow(QRgb* line, int width)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_setr_epi16(11, 59, 30, 0, 11, 59, 30, 0);
    const __m128i ones = _mm_set1_epi16(1);
    const __m128i fifty = _mm_set1_epi16(50);
    const __m128i hundred = _mm_set1_epi16(100);
    const __m128i divide = _mm_set1_epi16(short(DivideBy100));
    const __m128i alpha = _mm_set1_epi32(int(0xff000000u));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        auto* at = reinterpret_cast<__m128i*>(line + x);
        const __m128i p0 = _mm_loadu_si128(at);
        const __m128i p1 = _mm_loadu_si128(at + 1);
        // per pixel: 11 B + 59 G and 30 R, then their sum
        const __m128i m0 = _mm_madd_epi16(_mm_unpacklo_epi8(p0, zero), weights);
        const __m128i m1 = _mm_madd_epi16(_mm_unpackhi_epi8(p0, zero), weights);
        const __m128i m2 = _mm_madd_epi16(_mm_unpacklo_epi8(p1, zero), weights);
        const __m128i m3 = _mm_madd_epi16(_mm_unpackhi_epi8(p1, zero), weights);
        const __m128i s01 = _mm_madd_epi16(_mm_packs_epi32(m0, m1), ones);
        const __m128i s23 = _mm_madd_epi16(_mm_packs_epi32(m2, m3), ones);
        const __m128i shifted = _mm_add_epi16(_mm_packs_epi32(s01, s23), fifty);
        const __m128i gray = _mm_srli_epi16(_mm_mulhi_epu16(shifted, divide), DivideShift - 16);
        const __m128i halfway = _mm_cmpeq_epi16(_mm_mullo_epi16(gray, hundred), shifted);
        unsigned fixups = unsigned(_mm_movemask_epi8(halfway));
        QRgb original[8];
        if (fixups) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(original), p0);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(original + 4), p1);
        }
        const __m128i low = _mm_unpacklo_epi16(gray, zero);
        const __m128i high = _mm_unpackhi_epi16(gray, zero);
        _mm_storeu_si128(at, _mm_or_si128(_mm_or_si128(low, _mm_slli_epi32(low, 8)),
                                          _mm_or_si128(_mm_slli_epi32(low, 16), alpha)));
        _mm_storeu_si128(at + 1, _mm_or_si128(_mm_or_si128(high, _mm_slli_epi32(high, 8)),
                                              _mm_or_si128(_mm_slli_epi32(high, 16), alpha)));
        while (fixups) {
            const int i = __builtin_ctz(fixups) / 2; // two mask bits per pixel
            line[x + i] = grayPixel(original[i]);
            fixups &= ~(3u << (i * 2));
        }
    }
    for (; x < width; ++x)
        line[x] = grayPixel(line[x]);
}
#else
void grayRow(QRgb* line, int width)
{
    for (int x = 0; x < width; ++x)
        line[x] = grayPixel(line[x]);
}
#endif

} // namespace

int grayLevel(int red, int green, int blue)
{
    const double sum = 0.59 * green + 0.3 * red + 0.11 * blue;
    // Adding and removing 1.5 x 2^52 leaves no bits below the units, so the
    // addition rounds the sum to an integer, to nearest with ties to even
    // (the default rounding mode), exactly as nearbyint would, without a
    // library call. Valid for |sum| < 2^51, far above any gray.
    constexpr double Magic = 6755399441055744.0;
    return int((sum + Magic) - Magic);
}

bool largeEnoughForOperation(const QImage& image)
{
    return image.width() >= MinimumOperationSize && image.height() >= MinimumOperationSize;
}

void flipHorizontal(QImage& image)
{
    ensureRgb32(image);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = row(image, y);
        std::reverse(line, line + width);
    }
}

void flipVertical(QImage& image)
{
    ensureRgb32(image);
    const int height = image.height();
    const size_t bytes = size_t(image.width()) * sizeof(QRgb);
    std::vector<uchar> spare(bytes);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        uchar* upper = image.scanLine(top);
        uchar* lower = image.scanLine(bottom);
        std::memcpy(spare.data(), upper, bytes);
        std::memcpy(upper, lower, bytes);
        std::memcpy(lower, spare.data(), bytes);
    }
}

void invertColors(QImage& image)
{
    ensureRgb32(image);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = row(image, y);
        for (int x = 0; x < width; ++x)
            line[x] ^= 0x00ffffffu;
    }
}

void grayscale(QImage& image)
{
    ensureRgb32(image);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y)
        grayRow(row(image, y), width);
}

} // namespace snaplorn

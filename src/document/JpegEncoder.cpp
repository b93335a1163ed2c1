#include "document/JpegEncoder.h"

#include <turbojpeg.h>

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <thread>
#include <vector>

namespace snaplorn {

namespace {

// 4:2:0: an MCU covers 16 x 16 pixels.
constexpr int McuSide = 16;
// About this many strips per picture: enough to keep every core of a
// desktop busy to the end, few enough that the per-strip set-up stays small.
constexpr int TargetStrips = 16;
// The DRI segment holds the restart interval, in MCUs, in 16 bits.
constexpr int MaxRestartInterval = 65535;

struct TjHandleFree {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjHandleFree>;

int turboPixelFormat(JpegPixels pixels)
{
    switch (pixels) {
    case JpegPixels::Bgr24:
        return TJPF_BGR;
    case JpegPixels::Rgbx32:
        return TJPF_RGBX;
    case JpegPixels::Bgrx32:
        break;
    }
    return TJPF_BGRX;
}

bool sizeInRange(const JpegSource& source)
{
    return source.width > 0 && source.height > 0 && source.width <= JpegMaxSide &&
           source.height <= JpegMaxSide;
}

JpegBytes failure(std::string why)
{
    JpegBytes result;
    result.error = std::move(why);
    return result;
}

int coresAvailable()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

unsigned readU16(const unsigned char* p)
{
    return unsigned(p[0]) << 8 | p[1];
}

// Where the pieces of a one-scan baseline JPEG without restart markers lie:
// the headers up to the SOS segment, the SOS segment, the entropy-coded data
// up to the closing EOI, and the height field of the SOF0 segment.
struct StripLayout {
    size_t sofHeight = 0;
    size_t sosStart = 0;
    size_t dataStart = 0;
    size_t dataEnd = 0;
};

bool readStripLayout(const unsigned char* p, size_t size, StripLayout* layout)
{
    if (size < 4 || p[0] != 0xFF || p[1] != 0xD8 || p[size - 2] != 0xFF || p[size - 1] != 0xD9)
        return false;
    size_t pos = 2;
    bool baseline = false;
    while (pos + 4 <= size) {
        if (p[pos] != 0xFF)
            return false;
        const unsigned char marker = p[pos + 1];
        const size_t length = readU16(p + pos + 2);
        if (length < 2 || pos + 2 + length > size)
            return false;
        if (marker == 0xC0) {
            if (length < 8)
                return false;
            layout->sofHeight = pos + 5;
            baseline = true;
        } else if ((marker >= 0xC1 && marker <= 0xCF && marker != 0xC4) || marker == 0xDD) {
            // Another coding process, or restart markers of its own: the
            // strips cannot be joined.
            return false;
        } else if (marker == 0xDA) {
            layout->sosStart = pos;
            layout->dataStart = pos + 2 + length;
            layout->dataEnd = size - 2;
            return baseline && layout->dataStart <= layout->dataEnd;
        }
        pos += 2 + length;
    }
    return false;
}

// The strips' headers must be the same but for the height: the same tables
// and the same coding, so that one set of headers serves the joined data.
bool sameHeaders(const JpegBytes& first, const StripLayout& a, const JpegBytes& other,
                 const StripLayout& b)
{
    if (a.dataStart != b.dataStart || a.sofHeight != b.sofHeight)
        return false;
    const unsigned char* x = first.data.get();
    const unsigned char* y = other.data.get();
    return std::memcmp(x, y, a.sofHeight) == 0 &&
           std::memcmp(x + a.sofHeight + 2, y + a.sofHeight + 2,
                       a.dataStart - a.sofHeight - 2) == 0;
}

// One JPEG of the whole picture from the encoded strips: the first strip's
// headers with the picture's height, a DRI segment of one strip's MCUs, and
// the strips' data with RST0..RST7 between them, in turn. False when the
// strips are not of the kind that can be joined.
bool joinStrips(const std::vector<JpegBytes>& strips, int height, unsigned restartInterval,
                JpegBytes* joined)
{
    std::vector<StripLayout> layouts(strips.size());
    size_t total = 0;
    for (size_t i = 0; i < strips.size(); ++i) {
        if (!readStripLayout(strips[i].data.get(), strips[i].size, &layouts[i]) ||
            !sameHeaders(strips[0], layouts[0], strips[i], layouts[i]))
            return false;
        total += layouts[i].dataEnd - layouts[i].dataStart + 2; // data, then RSTn or EOI
    }
    const StripLayout& head = layouts[0];
    const unsigned char* first = strips[0].data.get();
    const unsigned char dri[6] = {0xFF, 0xDD, 0x00, 0x04, (unsigned char)(restartInterval >> 8),
                                  (unsigned char)(restartInterval & 0xFF)};
    total += head.dataStart + sizeof dri;
    auto* out = total <= size_t(INT_MAX) ? static_cast<unsigned char*>(tjAlloc(int(total)))
                                         : nullptr;
    if (!out) {
        joined->error = "out of memory";
        return true;
    }
    unsigned char* at = out;
    std::memcpy(at, first, head.sosStart);
    at[head.sofHeight] = (unsigned char)(height >> 8);
    at[head.sofHeight + 1] = (unsigned char)(height & 0xFF);
    at += head.sosStart;
    std::memcpy(at, dri, sizeof dri);
    at += sizeof dri;
    std::memcpy(at, first + head.sosStart, head.dataStart - head.sosStart);
    at += head.dataStart - head.sosStart;
    for (size_t i = 0; i < strips.size(); ++i) {
        const size_t length = layouts[i].dataEnd - layouts[i].dataStart;
        std::memcpy(at, strips[i].data.get() + layouts[i].dataStart, length);
        at += length;
        *at++ = 0xFF;
        *at++ = i + 1 < strips.size() ? (unsigned char)(0xD0 + i % 8) : 0xD9;
    }
    joined->data.reset(out);
    joined->size = (unsigned long)total;
    return true;
}

} // namespace

void JpegBytes::Free::operator()(unsigned char* buffer) const
{
    tjFree(buffer);
}

// 4:2:0 subsampling and the accurate integer DCT, the usual choice of JPEG
// encoders for photographs and screens alike.
JpegBytes encodeJpegWhole(const JpegSource& source, int quality)
{
    if (!sizeInRange(source))
        return failure("picture size out of range");
    TjHandle handle(tjInitCompress());
    if (!handle)
        return failure(tjGetErrorStr2(nullptr));
    JpegBytes result;
    // Room for the largest JPEG the picture can give, so the library never
    // grows its buffer by copying; only the pages it writes get memory. A
    // picture too large for that lets the library grow the buffer itself.
    int flags = TJFLAG_ACCURATEDCT | (source.bottomUp ? TJFLAG_BOTTOMUP : 0);
    const unsigned long room = tjBufSize(source.width, source.height, TJSAMP_420);
    unsigned char* out = room <= (unsigned long)INT_MAX ? tjAlloc(int(room)) : nullptr;
    if (out) {
        result.size = room;
        flags |= TJFLAG_NOREALLOC;
    }
    const int rc = tjCompress2(handle.get(), source.data, source.width, int(source.rowStride),
                               source.height, turboPixelFormat(source.pixels), &out,
                               &result.size, TJSAMP_420, std::clamp(quality, 1, 100), flags);
    result.data.reset(out);
    if (rc != 0) {
        result.error = tjGetErrorStr2(handle.get());
        result.data.reset();
    }
    return result;
}

int jpegStripMcuRows(int width, int height)
{
    if (width <= 0 || height <= 0 || width > JpegMaxSide || height > JpegMaxSide ||
        (long long)width * height < JpegStripMinPixels)
        return 0;
    const int mcuRows = (height + McuSide - 1) / McuSide;
    const int mcusPerRow = (width + McuSide - 1) / McuSide;
    const int rows = std::min((mcuRows + TargetStrips - 1) / TargetStrips,
                              std::max(1, MaxRestartInterval / mcusPerRow));
    return rows < mcuRows ? rows : 0;
}

JpegBytes encodeJpegInStrips(const JpegSource& source, int quality, int mcuRowsPerStrip,
                             int threads, JpegStripEncoder encodeStrip,
                             JpegRowsArriving* arriving)
{
    if (!sizeInRange(source))
        return failure("picture size out of range");
    const int mcusPerRow = (source.width + McuSide - 1) / McuSide;
    if (mcuRowsPerStrip <= 0 || (long long)mcuRowsPerStrip * mcusPerRow > MaxRestartInterval)
        return failure("strip height out of range");
    const int stripRows = std::min(mcuRowsPerStrip * McuSide, source.height);
    const int count = (source.height + stripRows - 1) / stripRows;
    auto stripOf = [&](int index) {
        JpegSource strip = source;
        const int top = index * stripRows;
        strip.height = std::min(stripRows, source.height - top);
        // Bottom-up rows: the strip's lowest row is stored first.
        const int firstStored = source.bottomUp ? source.height - top - strip.height : top;
        strip.data = source.data + size_t(firstStored) * source.rowStride;
        return strip;
    };

    std::vector<JpegBytes> strips(static_cast<size_t>(count));
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::atomic<bool> missing{false};
    auto work = [&] {
        for (int i = next++; i < count && !failed; i = next++) {
            try {
                const JpegSource strip = stripOf(i);
                const int rowsNeeded = i * stripRows + strip.height;
                if (arriving && !arriving->waitForRows(rowsNeeded)) {
                    missing = true;
                    failed = true;
                    break;
                }
                strips[size_t(i)] = encodeStrip(strip, quality);
            } catch (...) { // out of memory: the picture fails, the threads go on
                strips[size_t(i)] = JpegBytes();
            }
            if (!strips[size_t(i)].ok())
                failed = true;
        }
    };
    const int wanted = std::min(count, threads > 0 ? threads : coresAvailable());
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(wanted));
    for (int i = 1; i < wanted; ++i) {
        try {
            helpers.emplace_back(work);
        } catch (...) {
            break; // fewer threads, the same strips
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();

    if (missing)
        return failure("the picture did not arrive");
    if (failed) {
        for (const JpegBytes& strip : strips)
            if (!strip.error.empty())
                return failure(strip.error);
        return failure("a strip could not be encoded");
    }
    JpegBytes joined;
    if (!joinStrips(strips, source.height, unsigned(mcuRowsPerStrip * mcusPerRow), &joined))
        return encodeJpegWhole(source, quality); // the library was set up otherwise
    return joined;
}

JpegBytes encodeJpeg(const JpegSource& source, int quality, JpegRowsArriving* arriving)
{
    const int rows = jpegStripMcuRows(source.width, source.height);
    if (rows > 0)
        return encodeJpegInStrips(source, quality, rows, 0, encodeJpegWhole, arriving);
    if (arriving && !arriving->waitForRows(source.height))
        return failure("the picture did not arrive");
    return encodeJpegWhole(source, quality);
}

} // namespace snaplorn

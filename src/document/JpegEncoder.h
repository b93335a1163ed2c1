#pragma once
// The one JPEG encoder of the program, without Qt: the save code converts
// bitmaps with it, and the command-line capture encodes the grabbed screen
// with it straight from memory. The same pixels give the same file bytes
// either way.
//
// Large pictures are encoded on every core: the picture is cut into
// horizontal strips of whole MCU rows, the strips are encoded side by side,
// and their entropy-coded data is joined into one baseline JPEG with a
// restart marker at every strip boundary. Restart markers change no
// coefficient, so the decoded pixels are exactly those of the picture
// encoded in one piece. Where the strips fall depends on the picture's size
// alone, never on the number of cores, so a picture gives the same bytes on
// every machine.
#include <cstddef>
#include <memory>
#include <string>

namespace snaplorn {

enum class JpegPixels { Bgr24, Bgrx32, Rgbx32 };

struct JpegSource {
    const unsigned char* data = nullptr; // first stored row
    int width = 0;
    int height = 0;
    size_t rowStride = 0;
    JpegPixels pixels = JpegPixels::Bgrx32;
    bool bottomUp = false; // rows stored from the bottom row up
};

struct JpegBytes {
    struct Free {
        void operator()(unsigned char* buffer) const;
    };
    std::unique_ptr<unsigned char, Free> data;
    unsigned long size = 0;
    std::string error; // the encoder's reason when there are no bytes
    bool ok() const { return data && error.empty(); }
};

// Largest width or height a JPEG file can hold.
inline constexpr int JpegMaxSide = 65535;

// Pictures with fewer pixels are encoded in one piece. On an idle machine
// the strips pay from about 800 x 600; on a busy one a strip whose thread
// waits for a core holds up the whole picture for a few milliseconds, which
// only a picture this large amortises.
inline constexpr long long JpegStripMinPixels = 1024LL * 1024;

// A picture that is still arriving while it is encoded (top row first):
// waitForRows(n) returns once its first n rows are in memory, or false when
// they never will be, which fails the encoding.
class JpegRowsArriving
{
public:
    virtual ~JpegRowsArriving() = default;
    virtual bool waitForRows(int rows) = 0;
};

// 4:2:0 subsampling and the accurate integer DCT at `quality` (clamped to
// 1..100); in strips on every core when the picture is large enough. With
// `arriving` each strip is encoded as soon as its rows are there.
JpegBytes encodeJpeg(const JpegSource& source, int quality, JpegRowsArriving* arriving = nullptr);

// The rows of MCUs (16 pixel rows each) per strip for a picture of this
// size, or 0 when it is encoded in one piece.
int jpegStripMcuRows(int width, int height);

// The two ways encodeJpeg works, for tests and benchmarks. The whole picture
// in one piece on the calling thread:
JpegBytes encodeJpegWhole(const JpegSource& source, int quality);

// In strips of `mcuRowsPerStrip` MCU rows on up to `threads` threads (0: one
// per core), each strip encoded by `encodeStrip`. Any strip that fails fails
// the whole picture, with that strip's reason.
using JpegStripEncoder = JpegBytes (*)(const JpegSource& strip, int quality);
JpegBytes encodeJpegInStrips(const JpegSource& source, int quality, int mcuRowsPerStrip,
                             int threads = 0, JpegStripEncoder encodeStrip = encodeJpegWhole,
                             JpegRowsArriving* arriving = nullptr);

} // namespace snaplorn

#pragma once
// The one JPEG encoder of the program, without Qt: the save code converts
// bitmaps with it, and the command-line capture encodes the grabbed screen
// with it straight from memory. The same pixels give the same file bytes
// either way.
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

// 4:2:0 subsampling and the accurate integer DCT at `quality` (clamped to
// 1..100).
JpegBytes encodeJpeg(const JpegSource& source, int quality);

} // namespace snaplorn

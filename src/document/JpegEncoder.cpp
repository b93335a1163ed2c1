#include "document/JpegEncoder.h"

#include <turbojpeg.h>

#include <algorithm>

namespace snaplorn {

namespace {

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

} // namespace

void JpegBytes::Free::operator()(unsigned char* buffer) const
{
    tjFree(buffer);
}

// 4:2:0 subsampling and the accurate integer DCT, the usual choice of JPEG
// encoders for photographs and screens alike.
JpegBytes encodeJpeg(const JpegSource& source, int quality)
{
    JpegBytes result;
    if (source.width <= 0 || source.height <= 0 || source.width > JpegMaxSide ||
        source.height > JpegMaxSide) {
        result.error = "picture size out of range";
        return result;
    }
    TjHandle handle(tjInitCompress());
    if (!handle) {
        result.error = tjGetErrorStr2(nullptr);
        return result;
    }
    const int flags = TJFLAG_ACCURATEDCT | (source.bottomUp ? TJFLAG_BOTTOMUP : 0);
    unsigned char* out = nullptr;
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

} // namespace snaplorn

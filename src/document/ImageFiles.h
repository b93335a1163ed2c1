#pragma once
#include "base/Result.h"

#include <QImage>
#include <QString>

namespace snaplorn {

// Reading and writing picture files. No widgets, no dialogs: failures come
// back as results whose message the window shows.

// Largest picture the loader accepts, in megabytes of decoded pixels.
inline constexpr int ImageAllocationLimitMB = 512;

struct LoadedImage {
    enum class Failure { None, NotAnImage, Unreadable };
    QImage image;                 // Format_RGB32 on success
    Failure failure = Failure::None;
    QString message;              // for the user, when failure != None
    bool ok() const { return failure == Failure::None; }
};

// Loads any picture the installed image plugins read (BMP, JPEG, GIF, PNG,
// ...), decided by content, not by the name. A file that is not a picture,
// is truncated or corrupt, or whose header asks for more than the allocation
// limit gives NotAnImage with the "not a proper Image File" text; a missing
// or unreadable file gives Unreadable with a description.
LoadedImage loadImageFile(const QString& path);

// Writes an uncompressed 24-bit BMP. The file appears complete or not at
// all: a failed write leaves any existing file at `path` untouched.
Result writeBmp24(const QImage& image, const QString& path);

// The same bitmap for the scratch file of a JPEG save, which is converted at
// once and never kept. It is written in full under a temporary name before it
// takes the old file's place, so a failed write leaves the old file and no
// temporary file behind; unlike writeBmp24 it is not flushed to the disk,
// which on a large screen takes longer than the JPEG conversion itself.
Result writeTemporaryBmp24(const QImage& image, const QString& path);

// Converts an existing BMP file into a JPEG file of the given quality
// (clamped to 1..100), atomically like writeBmp24.
Result BmpToJpeg(const QString& bmpPath, const QString& jpgPath, int quality);

// True when the file name's extension (after the last dot, not counting a
// dot in the last place; the whole name when there is none), lower-cased,
// is bmp, jpg, jpeg or gif.
bool IsImageFileName(const QString& name);

// How SaveImageFile writes a path: by its last three characters, exactly.
enum class SaveKind { Bmp, Jpg, Refused };
SaveKind saveKindFor(const QString& path);

} // namespace snaplorn

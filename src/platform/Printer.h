#pragma once
#include "base/Result.h"

#include <QImage>
#include <QRectF>

class QPrinter;

namespace snaplorn {

// The printer the program prints to: the default printer, or the one last
// chosen in the printer dialog.
class Printer
{
public:
    virtual ~Printer() = default;
    // The printer settings the printer dialog edits; kept for later prints.
    virtual QPrinter* settings() = 0;
    // Prints the picture on one page, placed at `inches` from the top-left
    // corner of the printable area; where it would run off that area it is
    // shrunk to fit, keeping its place and proportions.
    virtual Result printImage(const QImage& image, const QRectF& inches) = 0;
};

} // namespace snaplorn

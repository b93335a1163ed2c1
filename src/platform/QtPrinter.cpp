#include "platform/QtPrinter.h"

#include "base/Texts.h"
#include "platform/PrintLayout.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace snaplorn {

QtPrinter::QtPrinter(QString pdfOutputFile) : m_pdfOutputFile(std::move(pdfOutputFile)) {}

QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::printer()
{
    // Made at first use, on the default printer of that moment.
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_pdfOutputFile.isEmpty()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(m_pdfOutputFile);
        }
    }
    return *m_printer;
}

bool QtPrinter::hasPrinter() const
{
    return !m_pdfOutputFile.isEmpty() || !m_printer->printerName().isEmpty() ||
           !m_printer->outputFileName().isEmpty();
}

QPrinter* QtPrinter::settings()
{
    return &printer();
}

Result QtPrinter::printImage(const QImage& image, const QRectF& inches)
{
    printer();
    // No printer at the last attempt: one may have been set up since.
    if (!hasPrinter())
        m_printer.reset();
    QPrinter& device = printer();
    if (!hasPrinter())
        return Result::failure(QString::fromUtf8(texts::NoPrinter));
    device.setDocName(QString::fromUtf8(texts::PrintDocumentName));
    // Coordinates start at the corner of what the printer can print, not
    // at Qt's default page margins.
    device.setFullPage(false);
    const QPageLayout layout = device.pageLayout();
    device.setPageMargins(layout.minimumMargins(), layout.units());
    QPainter painter;
    if (!painter.begin(&device))
        return Result::failure(
            QString::fromUtf8(texts::PrinterWontStart).arg(device.printerName()));
    // A picture larger than the printable area is shrunk to fit it.
    const QRectF placed =
        fitOnPrintableArea(inches, device.pageLayout().paintRect(QPageLayout::Inch).size());
    const qreal dpi = device.resolution();
    const QRectF target(placed.x() * dpi, placed.y() * dpi, placed.width() * dpi,
                        placed.height() * dpi);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image);
    const bool ended = painter.end();
    if (!ended || device.printerState() == QPrinter::Error)
        return Result::failure(QString::fromUtf8(texts::PrintJobFailed).arg(device.printerName()));
    return Result::success();
}

} // namespace snaplorn

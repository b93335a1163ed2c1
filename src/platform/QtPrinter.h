#pragma once
#include "platform/Printer.h"

#include <QString>

#include <memory>

namespace snaplorn {

// Printing through Qt Print Support: the default CUPS printer, or the one
// chosen in the printer dialog. Given an output file it writes a PDF file
// instead, which needs no print server.
class QtPrinter : public Printer
{
public:
    explicit QtPrinter(QString pdfOutputFile = QString());
    ~QtPrinter() override;

    QPrinter* settings() override;
    Result printImage(const QImage& image, const QRectF& inches) override;

private:
    QPrinter& printer();
    bool hasPrinter() const;

    std::unique_ptr<QPrinter> m_printer;
    QString m_pdfOutputFile;
};

} // namespace snaplorn

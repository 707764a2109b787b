#pragma once

#include "platform/printer/PrintTarget.h"

// Printers for tests: the default printer is a PDF file at the path given (none when the path is empty).
// Installed for the object's lifetime.
class PdfPrinters : public Printing::Printers
{
public:
    explicit PdfPrinters(const QString& path) : pdfPath(path) { Printing::setPrinters(this); }
    ~PdfPrinters() override { Printing::setPrinters(nullptr); }
    PdfPrinters(const PdfPrinters&) = delete;
    PdfPrinters& operator=(const PdfPrinters&) = delete;

    QString pdfPath;

    std::unique_ptr<Printing::PrintTarget> defaultPrinter() override
    {
        return pdfPath.isEmpty() ? nullptr : Printing::pdfFileTarget(pdfPath);
    }
};

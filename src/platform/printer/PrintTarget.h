#pragma once

#include <QString>
#include <memory>

class QPrinter;

namespace Printing {

// Where a printout goes: a printer of the system or a PDF file. The printer object draws the same way on the
// device either gives, so a PDF holds exactly the pages a printer would get.
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;

    // The printer's name or the file's path, for messages.
    virtual QString name() const = 0;
    // A new device aimed at this target, for one document.
    virtual std::unique_ptr<QPrinter> makeDevice() const = 0;
    // Called once the document is ended and handed over: throws AppError with the reason when the target
    // did not take it (a printer that is stopped or off line).
    virtual void checkDelivered(const QPrinter& device) const;
};

// A PDF file at the path, written when the document ends; its pages have margins of a quarter inch. A path that is
// a link, or anything but a regular file, is refused with AppError when the device is made.
std::unique_ptr<PrintTarget> pdfFileTarget(const QString& path);

// The printers the program can reach: the system's, unless a test has installed its own.
class Printers
{
public:
    virtual ~Printers() = default;

    // The default printer; null when no printer is installed or none is the default.
    virtual std::unique_ptr<PrintTarget> defaultPrinter() = 0;
};

// The printers in use: a test's when one is installed, otherwise the system's (QPrinterInfo's default printer,
// a CUPS queue on Linux).
Printers& printers();
// Installs other printers (a test's); null restores the system's. The caller keeps ownership.
void setPrinters(Printers* replacement);

} // namespace Printing

#include "platform/printer/PrintTarget.h"

#include "domain/error/AppError.h"
#include "platform/app/RegularFile.h"
#include "platform/printer/PrintService.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <optional>

namespace Printing {
namespace {

Printers* replacementPrinters = nullptr;

constexpr double PdfMarginInches = 0.25;

class PdfFileTarget : public PrintTarget
{
public:
    explicit PdfFileTarget(const QString& path) : m_path(path) {}

    QString name() const override { return m_path; }

    std::unique_ptr<QPrinter> makeDevice() const override
    {
        auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
        device->setOutputFormat(QPrinter::PdfFormat);
        device->setOutputFileName(openedFileName());
        device->setFullPage(false);
        device->setPageMargins(QMarginsF(PdfMarginInches, PdfMarginInches, PdfMarginInches, PdfMarginInches),
                               QPageLayout::Inch);
        return device;
    }

private:
    // The PDF writer opens its file by name, which would follow a link and wait on a FIFO. So the file is opened
    // here, without following a link or waiting, and written only when it is a regular file; the writer gets the
    // name of that open file, which cannot be swapped for another in between.
    QString openedFileName() const
    {
        m_file.reset();
        m_file = openRegularFileForWriting(m_path, FileWrite::Replace, NewFileAccess::Everyone);
#ifdef Q_OS_WIN
        return m_path;
#else
        return QStringLiteral("/proc/self/fd/%1").arg(m_file->descriptor());
#endif
    }

    QString m_path;
    mutable std::optional<Files::RegularFile> m_file;
};

// A queue of the system's print service; Qt hands the finished document to it (CUPS on Linux).
class SystemPrinterTarget : public PrintTarget
{
public:
    explicit SystemPrinterTarget(const QPrinterInfo& info) : m_info(info) {}

    QString name() const override { return m_info.printerName(); }

    // The service's answer to the job Qt handed it.
    void checkDelivered(const QPrinter& device) const override
    {
        PrintTarget::checkDelivered(device);
        if (const std::optional<QString> refusal = lastJobRefusal())
            throw AppError(ErrorNumber::PrinterError,
                           QStringLiteral("The printer %1 refused the printout: %2").arg(name(), *refusal));
    }

    // A queue that would not print is refused before anything is drawn, rather than reported as printed.
    std::unique_ptr<QPrinter> makeDevice() const override
    {
        const QPrinterInfo current = QPrinterInfo::printerInfo(m_info.printerName());
        if (current.isNull())
            throw AppError(ErrorNumber::PrinterError,
                           QStringLiteral("The printer %1 is no longer installed.").arg(name()));
        if (const std::optional<QString> refusal = queueRefusal(name()))
            throw AppError(ErrorNumber::PrinterError,
                           QStringLiteral("The printer %1 cannot print: %2.").arg(name(), *refusal));
        if (current.state() == QPrinter::Error)
            throw AppError(ErrorNumber::PrinterError,
                           QStringLiteral("The printer %1 is stopped or off line.").arg(name()));
        auto device = std::make_unique<QPrinter>(current, QPrinter::HighResolution);
        device->setFullPage(false);
        return device;
    }

private:
    QPrinterInfo m_info;
};

class SystemPrinters : public Printers
{
public:
    std::unique_ptr<PrintTarget> defaultPrinter() override
    {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull() || info.printerName().isEmpty())
            return nullptr;
        return std::make_unique<SystemPrinterTarget>(info);
    }
};

} // namespace

void PrintTarget::checkDelivered(const QPrinter& device) const
{
    if (device.printerState() == QPrinter::Error || device.printerState() == QPrinter::Aborted)
        throw AppError(ErrorNumber::PrinterError,
                       QStringLiteral("The printout could not be handed to %1.").arg(name()));
}

std::unique_ptr<PrintTarget> pdfFileTarget(const QString& path)
{
    return std::make_unique<PdfFileTarget>(path);
}

Printers& printers()
{
    static SystemPrinters system;
    return replacementPrinters ? *replacementPrinters : system;
}

void setPrinters(Printers* replacement)
{
    replacementPrinters = replacement;
}

} // namespace Printing

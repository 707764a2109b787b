#include "platform/printer/PrintTarget.h"

#include "platform/error/AppError.h"
#include "platform/printer/PrintService.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace Printing {
namespace {

Printers* replacementPrinters = nullptr;

constexpr double PdfMarginInches = 0.25;

class PdfFileTarget : public PrintTarget
{
public:
    explicit PdfFileTarget(const QString& path) : m_path(path) {}

    QString name() const override { return m_path; }

    // The PDF writer opens the file by its name, following a link and waiting on a FIFO: only a regular file, or
    // none yet, is written.
    std::unique_ptr<QPrinter> makeDevice() const override
    {
        const QFileInfo file(m_path);
        if (file.isSymLink() || (file.exists() && !file.isFile()))
            throw AppError(ErrorNumber::FileAccess,
                           QStringLiteral("The file '%1' cannot be written: it is not a regular file.")
                               .arg(QDir::toNativeSeparators(m_path)));
        auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
        device->setOutputFormat(QPrinter::PdfFormat);
        device->setOutputFileName(m_path);
        device->setFullPage(false);
        device->setPageMargins(QMarginsF(PdfMarginInches, PdfMarginInches, PdfMarginInches, PdfMarginInches),
                               QPageLayout::Inch);
        return device;
    }

private:
    QString m_path;
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

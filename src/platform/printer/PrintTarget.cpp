#include "platform/printer/PrintTarget.h"

#include "platform/error/AppError.h"
#include "platform/printer/PrintService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Printing {
namespace {

Printers* replacementPrinters = nullptr;

constexpr double PdfMarginInches = 0.25;

[[noreturn]] void cannotWrite(const QString& path, const QString& reason)
{
    throw AppError(ErrorNumber::FileAccess,
                   QStringLiteral("The file '%1' cannot be written: %2").arg(QDir::toNativeSeparators(path), reason));
}

class PdfFileTarget : public PrintTarget
{
public:
    explicit PdfFileTarget(const QString& path) : m_path(path) {}
    ~PdfFileTarget() override { closeFile(); }
    PdfFileTarget(const PdfFileTarget&) = delete;
    PdfFileTarget& operator=(const PdfFileTarget&) = delete;

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
#ifdef Q_OS_WIN
        const QFileInfo file(m_path);
        if (file.isSymLink() || file.isJunction() || (file.exists() && !file.isFile()))
            cannotWrite(m_path, QStringLiteral("it is not a regular file."));
        return m_path;
#else
        closeFile();
        m_descriptor = ::open(QFile::encodeName(m_path).constData(),
                              O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (m_descriptor < 0)
            cannotWrite(m_path, errno == ELOOP || errno == ENXIO ? QStringLiteral("it is not a regular file.")
                                                                 : qt_error_string(errno));
        struct stat status = {};
        if (fstat(m_descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            closeFile();
            cannotWrite(m_path, QStringLiteral("it is not a regular file."));
        }
        return QStringLiteral("/proc/self/fd/%1").arg(m_descriptor);
#endif
    }

    void closeFile() const
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = -1;
    }

    QString m_path;
    mutable int m_descriptor = -1;
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

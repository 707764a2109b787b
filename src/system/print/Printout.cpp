#include "system/print/Printout.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/printer/PrintTarget.h"
#include "platform/printer/Printer.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The save prompt asked about the name as typed; the name completed with ".pdf" is asked about here.
bool replaceConfirmed(const QString& path)
{
    return dialogs().msgBox(QStringLiteral("The file %1 already exists.\n\nDo you want to replace it?")
                                .arg(QDir::toNativeSeparators(path)),
                            Dialogs::vbYesNo + Dialogs::vbExclamation) == Dialogs::vbYes;
}

// The target the user chose instead of a printer: a PDF file, or none.
std::unique_ptr<Printing::PrintTarget> pdfInstead(const QString& title)
{
    const int answer = dialogs().msgBox(QStringLiteral("There is no printer to print on: no printer is installed, or "
                                                       "none is set as the default printer.\n\n"
                                                       "Do you want to save the printout as a PDF file instead?"),
                                        Dialogs::vbYesNo + Dialogs::vbQuestion);
    if (answer != Dialogs::vbYes)
        return nullptr;
    QString path = dialogs().saveFileName(QStringLiteral("Save the Printout as a PDF File"),
                                          title + QStringLiteral(".pdf"), QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return nullptr;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".pdf");
        if (QFileInfo::exists(path) && !replaceConfirmed(path))
            return nullptr;
    }
    return Printing::pdfFileTarget(path);
}

} // namespace

void Printout(const QString& title, const std::function<void(Printing::Printer&)>& draw)
{
    std::unique_ptr<Printing::PrintTarget> target = Printing::printers().defaultPrinter();
    if (!target)
        target = pdfInstead(title);
    if (!target)
        return;
    Printing::Printer printer(*target);
    draw(printer);
}

#pragma once

#include <QString>
#include <functional>

namespace Printing {
class Printer;
}

// Runs a printout on the default printer. With no printer installed, or none the default, the user is told so
// and offered to save the same pages as a PDF file instead; declined, nothing is printed. The drawing gets the
// printer object and ends the document. A printer that fails (stopped, off line, the printout refused) raises
// AppError with the reason, for the command's handler to report; nothing is reported as printed that was not.
// The name suggested for a PDF file is the title followed by ".pdf"; a name given without a suffix gets ".pdf",
// and a file of that name is replaced only when the user says so.
void Printout(const QString& title, const std::function<void(Printing::Printer&)>& draw);

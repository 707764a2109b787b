#pragma once

#include <QString>
#include <optional>

// What the system's print service says of its queues, where it can say it (CUPS); elsewhere it says nothing and
// the printer's own state is all there is to go by.
namespace Printing {

// Why the queue would not print a job now (it is not accepting jobs, or stopped), with the service's message;
// nothing when it would, or when the service cannot tell.
std::optional<QString> queueRefusal(const QString& printerName);

// Why the print service refused the job last handed to it from this thread, in its own words; nothing when it
// took it, or when the service cannot tell.
std::optional<QString> lastJobRefusal();

} // namespace Printing

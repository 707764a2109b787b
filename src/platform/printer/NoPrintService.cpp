#include "platform/printer/PrintService.h"

namespace Printing {

std::optional<QString> queueRefusal(const QString& /*printerName*/)
{
    return std::nullopt;
}

std::optional<QString> lastJobRefusal()
{
    return std::nullopt;
}

} // namespace Printing

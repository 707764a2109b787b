#include "platform/printer/PrintService.h"

#include <cups/cups.h>

namespace Printing {
namespace {

// The queue's name without the instance ("office/duplex" is the queue "office").
QByteArray queueName(const QString& printerName)
{
    return printerName.section(QLatin1Char('/'), 0, 0).toUtf8();
}

QString withMessage(const QString& refusal, ipp_t* attributes)
{
    ipp_attribute_t* message = ippFindAttribute(attributes, "printer-state-message", IPP_TAG_TEXT);
    const char* text = message ? ippGetString(message, 0, nullptr) : nullptr;
    return text && *text ? refusal + QStringLiteral(": ") + QString::fromUtf8(text) : refusal;
}

} // namespace

std::optional<QString> queueRefusal(const QString& printerName)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queueName(printerName).constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return QStringLiteral("the print service does not answer (%1)").arg(QString::fromUtf8(cupsLastErrorString()));
    std::optional<QString> refusal;
    ipp_attribute_t* accepting = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    ipp_attribute_t* state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
    if (accepting && !ippGetBoolean(accepting, 0))
        refusal = withMessage(QStringLiteral("it is not accepting jobs"), response);
    else if (state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED)
        refusal = withMessage(QStringLiteral("it is stopped"), response);
    ippDelete(response);
    return refusal;
}

// Qt hands the finished document to CUPS on this thread and keeps no answer; CUPS keeps the last one per thread.
std::optional<QString> lastJobRefusal()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    return QString::fromUtf8(cupsLastErrorString());
}

} // namespace Printing

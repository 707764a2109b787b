#include "platform/screen/AccessKey.h"

QString withoutAccessKey(QString caption)
{
    return caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

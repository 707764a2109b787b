#include "PdfPages.h"

#include <QProcess>
#include <QXmlStreamReader>

QList<PdfPage> readPdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox-layout"), QStringLiteral("--"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QList<PdfPage> pages;
    QXmlStreamReader xml(pdftotext.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto twips = [&xml](const char* name) {
            return xml.attributes().value(QLatin1String(name)).toDouble() * 20;
        };
        if (xml.name() == QLatin1String("page")) {
            pages.append({twips("width"), twips("height"), {}});
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            PdfWord word{{}, twips("xMin"), twips("yMin"), twips("xMax"), twips("yMax")};
            word.text = xml.readElementText(); // after the attributes are read: this moves on
            pages.last().words.append(word);
        }
    }
    return pages;
}

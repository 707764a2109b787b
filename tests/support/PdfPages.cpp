#include "PdfPages.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace {

constexpr double TwipsPerPoint = 20;

double twips(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1String(name)).toDouble() * TwipsPerPoint;
}

} // namespace

QList<PdfWord> PdfPage::find(const QString& text) const
{
    QList<PdfWord> found;
    for (const PdfWord& word : words)
        if (word.text == text)
            found << word;
    return found;
}

QStringList PdfPage::texts() const
{
    QStringList all;
    for (const PdfWord& word : words)
        all << word.text;
    return all;
}

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
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("page"))
            pages.append({twips(attributes, "width"), twips(attributes, "height"), {}});
        else if (xml.name() == QLatin1String("word") && !pages.isEmpty())
            pages.last().words.append({xml.readElementText(), twips(attributes, "xMin"), twips(attributes, "yMin"),
                                       twips(attributes, "xMax"), twips(attributes, "yMax")});
    }
    return pages;
}

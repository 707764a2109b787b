#pragma once

#include <QList>
#include <QString>

// The words of a PDF file's pages as poppler's pdftotext finds them, in twips from each page's top left corner.
struct PdfWord
{
    QString text;
    double left;
    double top;
    double right;
    double bottom;
};

struct PdfPage
{
    double width;
    double height;
    QList<PdfWord> words;

    // The words with this text, in reading order.
    QList<PdfWord> find(const QString& text) const;
    QStringList texts() const;
};

// Empty when the file cannot be read.
QList<PdfPage> readPdfPages(const QString& path);

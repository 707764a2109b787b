#pragma once

#include <QList>
#include <QStringList>

// The words of a PDF file's pages as poppler's pdftotext finds them, in twips from each page's top left corner.
struct PdfWord
{
    QString text;
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

struct PdfPage
{
    double width = 0;
    double height = 0;
    QList<PdfWord> words;

    // The first word with this text; an empty word when there is none.
    PdfWord word(const QString& text) const
    {
        for (const PdfWord& word : words)
            if (word.text == text)
                return word;
        return {};
    }
    QStringList texts() const
    {
        QStringList all;
        for (const PdfWord& word : words)
            all << word.text;
        return all;
    }
};

// Empty when the file cannot be read.
QList<PdfPage> readPdfPages(const QString& path);

// The translation of statements into SQLite's dialect, on any text (UTF-8). Properties: a text changes only
// when it is a SELECT; "SELECT @@Identity" becomes the last-insert query; otherwise a changed text ends with
// LIMIT and the count its Top gave, and that LIMIT belongs to the statement: it stands outside every quoted
// text and comment, and after no semicolon but those that end the text (checked for texts whose quotes and
// comments all close: an unclosed one is no statement).
#include "FuzzCheck.h"

#include "platform/db/StatementTranslation.h"

#include <QRegularExpression>

#include <cstdint>

namespace {

// What the lexer of a statement is in at a character.
enum class Place
{
    Statement,
    Quoted,      // '...', "...", `...` or [...]
    LineComment, // -- to the end of the line
    BlockComment // /* ... */
};

// Reads the text as SQLite's tokenizer does, as far as quotes and comments go. Tells where `at` falls, whether
// a semicolon outside quotes and comments comes before it, and (at == size) whether everything closed.
struct Reading
{
    Place place = Place::Statement;
    bool separatorBefore = false;
};

Reading readUpTo(const QString& text, qsizetype at)
{
    Reading reading;
    QChar closing;
    for (qsizetype i = 0; i < at; ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        switch (reading.place) {
        case Place::Statement:
            if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
                reading.place = Place::Quoted;
                closing = c == u'[' ? QChar(u']') : c;
            } else if (c == u'-' && next == u'-') {
                reading.place = Place::LineComment;
                ++i;
            } else if (c == u'/' && next == u'*') {
                reading.place = Place::BlockComment;
                ++i;
            } else if (c == u';') {
                reading.separatorBefore = true;
            }
            break;
        case Place::Quoted:
            if (c == closing && closing != u']' && next == closing)
                ++i; // a doubled quote stands for itself
            else if (c == closing)
                reading.place = Place::Statement;
            break;
        case Place::LineComment:
            if (c == u'\n')
                reading.place = Place::Statement;
            break;
        case Place::BlockComment:
            if (c == u'*' && next == u'/') {
                reading.place = Place::Statement;
                ++i;
            }
            break;
        }
    }
    return reading;
}

// The length of the text without the blanks and semicolons at its end.
qsizetype withoutEnd(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1].isSpace() || text[end - 1] == u';'))
        --end;
    return end;
}

bool closes(const QString& text)
{
    const Place end = readUpTo(text, text.size()).place;
    return end == Place::Statement || end == Place::LineComment;
}

void checkLimit(const QString& statement, const QString& translated)
{
    static const QRegularExpression top(QStringLiteral(R"(^\s*SELECT\s+TOP\s+(\d+)\s)"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression limit(QStringLiteral(R"(\sLIMIT (\d+)$)"));
    const QRegularExpressionMatch topMatch = top.match(statement);
    const QRegularExpressionMatch limitMatch = limit.match(translated);
    fuzzCheck(topMatch.hasMatch() && limitMatch.hasMatch(), "only SELECT Top N becomes a LIMIT");
    fuzzCheck(topMatch.captured(1) == limitMatch.captured(1), "the LIMIT is the Top count");
    fuzzCheck(translated.startsWith(QStringLiteral("SELECT ")), "the translation is a SELECT");
    if (!closes(statement))
        return;
    const Reading atLimit = readUpTo(translated, limitMatch.capturedStart() + 1); // after its blank
    fuzzCheck(atLimit.place == Place::Statement, "the LIMIT stands outside quotes and comments");
    // Two statements in one text stay two, which the database refuses; one statement keeps its LIMIT.
    if (!readUpTo(statement, withoutEnd(statement)).separatorBefore)
        fuzzCheck(!atLimit.separatorBefore, "the LIMIT belongs to the one statement");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString statement = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString translated = translateStatement(statement);
    if (translated == statement)
        return 0;
    fuzzCheck(statement.trimmed().startsWith(QStringLiteral("SELECT"), Qt::CaseInsensitive),
              "only a SELECT is translated");
    if (translated == QStringLiteral("SELECT last_insert_rowid()"))
        fuzzCheck(statement.contains(QStringLiteral("@@Identity"), Qt::CaseInsensitive),
                  "only @@Identity asks for the key");
    else
        checkLimit(statement, translated);
    return 0;
}

#include "domain/data/NumberText.h"

#include "domain/data/StatementText.h"
#include "domain/error/AppError.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Whole numbers up to this size print exactly without an exponent.
constexpr double LargestExactWhole = 1e15;

bool isIgnored(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The longest prefix of the text, blanks removed, that spells a number, in the C locale's form.
std::string numberPrefix(const QString& text)
{
    QString compact;
    for (QChar c : text) {
        if (!isIgnored(c))
            compact += c;
    }
    std::string number;
    qsizetype i = 0;
    auto take = [&](auto accepts) {
        while (i < compact.size() && accepts(compact.at(i)))
            number += compact.at(i++).toLatin1();
    };
    if (i < compact.size() && (compact.at(i) == QLatin1Char('+') || compact.at(i) == QLatin1Char('-')))
        number += compact.at(i++).toLatin1();
    const std::size_t beforeDigits = number.size();
    take(isDigit);
    if (i < compact.size() && compact.at(i) == QLatin1Char('.')) {
        number += compact.at(i++).toLatin1();
        take(isDigit);
    }
    if (number.find_first_of("0123456789", beforeDigits) == std::string::npos)
        return {};
    const QChar marker = i < compact.size() ? compact.at(i).toUpper() : QChar();
    if (marker == QLatin1Char('E') || marker == QLatin1Char('D')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < compact.size() && (compact.at(j) == QLatin1Char('+') || compact.at(j) == QLatin1Char('-')))
            exponent += compact.at(j++).toLatin1();
        const qsizetype exponentDigits = j;
        while (j < compact.size() && isDigit(compact.at(j)))
            exponent += compact.at(j++).toLatin1();
        if (j > exponentDigits)
            number += exponent;
    }
    return number;
}

} // namespace

double NumberTextBeginsWith(const QString& text)
{
    const std::string number = numberPrefix(text);
    if (number.empty())
        return 0;
    // from_chars reads the C locale's form whatever the user's locale is; it takes no leading '+'.
    const char* first = number.data() + (number.front() == '+' ? 1 : 0);
    double value = 0;
    const std::from_chars_result parsed = std::from_chars(first, number.data() + number.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        if (number.find("e-") != std::string::npos)
            return 0; // too small to tell from zero
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("The number %1 is too large.").arg(QString::fromLatin1(number)));
    }
    return value;
}

std::optional<double> CountValue(const QString& text)
{
    // Digits with one point at most and an exponent: what a number column takes as a number, and no more.
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString trimmed = TrimBlanks(text);
    if (!number.match(trimmed).hasMatch())
        return std::nullopt;
    bool isNumber = false;
    const double value = QLocale::c().toDouble(trimmed, &isNumber);
    if (!isNumber || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool BooleanFromText(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    return NumberTextBeginsWith(word) != 0;
}

QString NumberToText(double number)
{
    if (std::trunc(number) == number && std::fabs(number) < LargestExactWhole)
        return QString::number(static_cast<qlonglong>(number));
    return QString::number(number, 'g', 15);
}

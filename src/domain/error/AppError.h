#pragma once

#include <QString>
#include <stdexcept>

// The failure that the platform stand-ins and the shared routines raise: a number and a description,
// shown to the user as "Error No: <number> <description>".
class AppError : public std::runtime_error
{
public:
    AppError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
    {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// The error numbers the program raises, with the meaning a user of the original platform would recognise.
namespace ErrorNumber {
constexpr int InvalidArgument = 5;
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int FileNotFound = 53;
constexpr int PermissionDenied = 70; // a file that another program holds locked; keys the session may not send
constexpr int FileAccess = 75;
constexpr int ObjectNotSet = 91;
constexpr int CannotCreateObject = 429; // a facility of the system that this session lacks
constexpr int PrinterError = 482;
constexpr int ObjectClosed = 3704;
constexpr int DatabaseFailure = -2147467259;  // the generic provider failure, 0x80004005
constexpr int StatementFailure = -2147217900; // an error in the statement text, 0x80040E14
} // namespace ErrorNumber

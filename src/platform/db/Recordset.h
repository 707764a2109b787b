#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Connection;

// One field of the current row. Values are read through their text form: Null reads as the empty text
// and a whole number prints without decimals ("10", "7000").
class Field
{
public:
    Field(QString name, QVariant value) : m_name(std::move(name)), m_value(std::move(value)) {}

    const QString& name() const { return m_name; }
    const QVariant& value() const { return m_value; }
    bool isNull() const { return m_value.isNull(); }
    QString text() const;

private:
    QString m_name;
    QVariant m_value;
};

// The text form of a stored value, as every reader of the data sees it.
QString valueText(const QVariant& value);

// A read-only, client-side snapshot of a query's rows: open runs the statement and keeps every row in
// memory, so the data file may be closed while the rows are read.
class Recordset
{
public:
    void open(const QString& source, Connection& activeConnection);
    void close();
    bool isOpen() const { return m_open; }

    // True when there is no current row: the query found nothing or the reader moved past the last row.
    bool eof() const;
    void moveFirst();
    void moveNext();
    int recordCount() const;

    Field fields(int index) const;
    // Field names match regardless of case.
    Field fields(const QString& name) const;
    int fieldCount() const;
    const QStringList& fieldNames() const;

private:
    void requireOpen() const;
    void requireCurrentRow() const;
    int fieldIndex(const QString& name) const;

    bool m_open = false;
    QStringList m_fieldNames;
    std::vector<QVariantList> m_rows;
    std::size_t m_position = 0;
};

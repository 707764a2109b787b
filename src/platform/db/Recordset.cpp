#include "platform/db/Recordset.h"

#include "domain/data/NumberText.h"
#include "domain/error/AppError.h"
#include "platform/db/Connection.h"
#include "platform/db/DbErrors.h"
#include "platform/db/StatementTranslation.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;

} // namespace

QString valueText(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
        return NumberToText(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray());
    default:
        return value.toString();
    }
}

QString Field::text() const
{
    return valueText(m_value);
}

void Recordset::open(const QString& source, Connection& activeConnection)
{
    if (!activeConnection.isOpen())
        throw objectClosedError();
    QSqlQuery query(activeConnection.database());
    query.setForwardOnly(true);
    if (!query.exec(translateStatement(source)))
        throw statementError(query.lastError());
    const QSqlRecord record = query.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    std::vector<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << query.value(i);
        rows.push_back(std::move(row));
    }
    m_fieldNames = std::move(names);
    m_rows = std::move(rows);
    m_position = 0;
    m_open = true;
}

void Recordset::close()
{
    requireOpen();
    m_open = false;
    m_rows.clear();
    m_fieldNames.clear();
    m_position = 0;
}

bool Recordset::eof() const
{
    requireOpen();
    return m_position >= m_rows.size();
}

void Recordset::moveFirst()
{
    requireOpen();
    m_position = 0;
    requireCurrentRow();
}

void Recordset::moveNext()
{
    requireCurrentRow();
    ++m_position;
}

int Recordset::recordCount() const
{
    requireOpen();
    return static_cast<int>(m_rows.size());
}

Field Recordset::fields(int index) const
{
    requireCurrentRow();
    if (index < 0 || index >= m_fieldNames.size())
        throw AppError(ItemNotFound, QStringLiteral("The query has no field number %1.").arg(index));
    return Field(m_fieldNames.at(index), m_rows[m_position].at(index));
}

Field Recordset::fields(const QString& name) const
{
    return fields(fieldIndex(name));
}

int Recordset::fieldCount() const
{
    requireOpen();
    return static_cast<int>(m_fieldNames.size());
}

const QStringList& Recordset::fieldNames() const
{
    requireOpen();
    return m_fieldNames;
}

void Recordset::requireOpen() const
{
    if (!m_open)
        throw objectClosedError();
}

void Recordset::requireCurrentRow() const
{
    requireOpen();
    if (m_position >= m_rows.size())
        throw AppError(NoCurrentRecord,
                       QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. Requested "
                                      "operation requires a current record."));
}

int Recordset::fieldIndex(const QString& name) const
{
    requireOpen();
    for (int i = 0; i < m_fieldNames.size(); ++i) {
        if (m_fieldNames.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw AppError(ItemNotFound, QStringLiteral("The query has no field named '%1'.").arg(name));
}

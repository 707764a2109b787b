#include "system/app/UnitOfWork.h"

#include "domain/error/AppError.h"
#include "platform/screen/Screen.h"
#include "system/app/HandlerGuard.h"
#include "system/app/basModule1.h"

namespace {

int runningUnits = 0;

// The unit's connection; gone only when something closed it behind the unit's back.
Connection& openConnection()
{
    if (!gobjConnection)
        throw AppError(ErrorNumber::ObjectNotSet, QStringLiteral("The connection to the data file was closed."));
    return *gobjConnection;
}

// Ends the outermost unit: nothing of it may outlive it, whatever failed.
void endUnit(int pointerBefore)
{
    IgnoreFailures([] { gobjRecordset.release(); });
    IgnoreFailures(CloseConnection);
    gobjConnection.reset();
    Screen::setMousePointer(pointerBefore);
}

} // namespace

UnitOfWork::UnitOfWork() : m_joined(runningUnits > 0), m_pointerBefore(Screen::mousePointer())
{
    if (!m_joined) {
        Screen::setMousePointer(Screen::vbHourglass);
        try {
            OpenConnection();
        } catch (...) {
            endUnit(m_pointerBefore);
            throw;
        }
    }
    ++runningUnits;
}

UnitOfWork::~UnitOfWork()
{
    if (m_inTransaction)
        IgnoreFailures([] { gobjConnection->rollbackTrans(); });
    --runningUnits;
    if (!m_joined)
        endUnit(m_pointerBefore);
}

Recordset& UnitOfWork::read(const QString& query)
{
    gobjRecordset.release();
    gobjRecordset->open(query, openConnection());
    return *gobjRecordset;
}

Recordset UnitOfWork::snapshot(const QString& query)
{
    Recordset records;
    records.open(query, openConnection());
    return records;
}

int UnitOfWork::execute(const QString& statement)
{
    return openConnection().execute(statement);
}

void UnitOfWork::beginTransaction()
{
    openConnection().beginTrans();
    m_inTransaction = true;
}

void UnitOfWork::commit()
{
    openConnection().commitTrans();
    m_inTransaction = false;
}

#include "system/launch/LaunchKeysPreparation.h"

#include "domain/data/DesktopPermissionStatements.h"
#include "domain/error/AppError.h"
#include "platform/db/Recordset.h"
#include "platform/keys/SendKeys.h"
#include "system/app/StoredTexts.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/launch/LaunchControl.h"

#include <QCoreApplication>

namespace {

// How long the event loop runs each time the key sender waits for the desktop's answer.
constexpr int WaitSliceMilliseconds = 50;

// A permission that cannot be read (a data file without its table) or kept costs the user one more consent
// dialog, nothing else: the launch goes on.
std::string savedPermission()
{
    if (!gobjEncrypt)
        return {};
    try {
        UnitOfWork work;
        Recordset& kept = work.read(DesktopPermissionQuery(RemoteDesktopPermission));
        if (kept.eof() || kept.fields(0).text().isEmpty())
            return {};
        // a token that fails its check is as good as none: the desktop asks again
        return RevealStoredText(PermissionTokenPlace(RemoteDesktopPermission), kept.fields(0).text())
            .value_or(QString())
            .toStdString();
    } catch (const AppError&) {
        return {};
    }
}

void keepPermission(const std::string& token)
{
    if (!gobjEncrypt)
        return;
    try {
        UnitOfWork work;
        work.execute(KeepDesktopPermissionStatement(RemoteDesktopPermission, QString::fromStdString(token),
                                                    ConcealingAt(PermissionTokenPlace(RemoteDesktopPermission))));
    } catch (const AppError&) {
    }
}

} // namespace

void prepareLaunchKeys(const LaunchInProgress& launch)
{
    Keys::Preparation preparation;
    preparation.whileWaiting = [&launch] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, WaitSliceMilliseconds);
        if (launch.stopped())
            throw LaunchStopped(LaunchStopped::Reason::Asked);
    };
    preparation.savedPermission = savedPermission;
    preparation.keepPermission = keepPermission;
    prepareKeys(preparation);
}

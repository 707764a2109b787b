#include "system/launch/WaitMilliseconds.h"

#include "system/app/basModule1.h"
#include "system/launch/LaunchControl.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A whole number of milliseconds that a timer takes: halves round to even, as the conversion to a
// 32-bit count always did.
int timerInterval(double milliseconds)
{
    constexpr double Longest = std::numeric_limits<int>::max();
    return static_cast<int>(std::nearbyint(std::min(milliseconds, Longest)));
}

} // namespace

void WaitMilliseconds(QTimer& tmrWait, double milliseconds)
{
    // A timer of 0 would tick at once and a negative one not at all; neither is a pause.
    if (!(milliseconds >= 0.5))
        return;
    gblnWaitElapsed = false;
    tmrWait.stop();
    // A coarse timer may tick up to 5 % early: keys sent then could reach a page still loading.
    tmrWait.setTimerType(Qt::PreciseTimer);
    tmrWait.setInterval(timerInterval(milliseconds));
    tmrWait.start();
    // The window that owns the timer may close while the event loop runs, or the launch be stopped; then the wait
    // is over too.
    const QPointer<QTimer> timer(&tmrWait);
    while (!gblnWaitElapsed && timer && !launchStopped())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (timer)
        timer->stop();
}

void tmrWait_Timer(QTimer& tmrWait)
{
    gblnWaitElapsed = true;
    tmrWait.stop();
}

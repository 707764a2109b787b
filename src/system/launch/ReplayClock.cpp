#include "system/launch/ReplayClock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <optional>

namespace {

struct TestClock
{
    qint64 start;
    QElapsedTimer running;
};

std::optional<TestClock> gTestClock;

} // namespace

qint64 replayClockMilliseconds()
{
    if (gTestClock)
        return gTestClock->start + gTestClock->running.elapsed();
    return QDateTime::currentMSecsSinceEpoch();
}

ReplayClockForTest::ReplayClockForTest(qint64 startMilliseconds)
{
    gTestClock.emplace(TestClock{startMilliseconds, {}});
    gTestClock->running.start();
}

ReplayClockForTest::~ReplayClockForTest()
{
    gTestClock.reset();
}

#pragma once

#include <QtGlobal>

// The time a replay's one-time codes are made for, in milliseconds since 1970 (UTC): the system's clock, or, while
// a ReplayClockForTest lives, the time it was set to, running on from the moment it was set.
qint64 replayClockMilliseconds();

class ReplayClockForTest
{
public:
    explicit ReplayClockForTest(qint64 startMilliseconds);
    ~ReplayClockForTest();
    ReplayClockForTest(const ReplayClockForTest&) = delete;
    ReplayClockForTest& operator=(const ReplayClockForTest&) = delete;
};

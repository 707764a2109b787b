#pragma once

class QTimer;

// The wait of a replay: arms the main window's wait timer and runs the event loop until its first tick,
// so the program stays responsive meanwhile. A wait of 0 or less milliseconds returns at once; waits too
// long for one timer interval (over 24 days) are cut to the longest one.
void WaitMilliseconds(QTimer& tmrWait, double milliseconds);

// The wait timer's tick (the body of the main window's tmrWait_Timer): the wait is over.
void tmrWait_Timer(QTimer& tmrWait);

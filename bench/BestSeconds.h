#pragma once

#include <QElapsedTimer>
#include <algorithm>

// The best of a few runs of the work, in seconds: the figure least disturbed by the rest of the machine.
template <class Work>
double bestSeconds(int runs, Work work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

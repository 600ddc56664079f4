#pragma once
// Timing pieces of the grab benchmarks: the wall time of one piece of work, the median of rounds.
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace quorvane {

inline double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double elapsedMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace quorvane

#include "service/MetricCells.h"

#include <algorithm>

Histogram::Histogram(std::span<const double> upperBounds)
    : bounds_(upperBounds.begin(), upperBounds.end()),
      counts_(std::make_unique<std::atomic<std::uint64_t>[]>(bounds_.size() + 1)) {}

void Histogram::observe(double value) noexcept {
    // Prometheus buckets are "less than or equal": a value on a bound counts in that bound's bucket.
    const auto bucket = std::lower_bound(bounds_.begin(), bounds_.end(), value) - bounds_.begin();
    counts_[static_cast<std::size_t>(bucket)].fetch_add(1, std::memory_order_relaxed);
    sum_.fetch_add(value, std::memory_order_relaxed);
}

Histogram::Reading Histogram::read() const {
    Reading reading;
    reading.cumulative.reserve(bounds_.size() + 1);
    std::uint64_t total = 0;
    for (std::size_t i = 0; i <= bounds_.size(); ++i) {
        total += counts_[i].load(std::memory_order_relaxed);
        reading.cumulative.push_back(total);
    }
    reading.sum = sum_.load(std::memory_order_relaxed);
    return reading;
}

#pragma once
// The values behind one metric series: a counter, a gauge and a histogram. Each is a handful of
// atomics, so any thread bumps them without a lock; a reading taken while others bump may be a
// step behind, never torn.
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class Counter {
public:
    void inc(std::uint64_t by = 1) noexcept { value_.fetch_add(by, std::memory_order_relaxed); }
    std::uint64_t value() const noexcept { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> value_{0};
};

class Gauge {
public:
    void set(double value) noexcept { value_.store(value, std::memory_order_relaxed); }
    void add(double by) noexcept { value_.fetch_add(by, std::memory_order_relaxed); }
    double value() const noexcept { return value_.load(std::memory_order_relaxed); }

private:
    std::atomic<double> value_{0};
};

// Observations counted into buckets by upper bound (ascending); the last, unbounded bucket
// (+Inf) takes the rest.
class Histogram {
public:
    explicit Histogram(std::span<const double> upperBounds);
    void observe(double value) noexcept;

    struct Reading {
        std::vector<std::uint64_t> cumulative;  // one per bound, then +Inf (= count)
        double sum = 0;
    };
    Reading read() const;
    const std::vector<double>& upperBounds() const noexcept { return bounds_; }

private:
    std::vector<double> bounds_;
    std::unique_ptr<std::atomic<std::uint64_t>[]> counts_;  // per bucket, not cumulative
    std::atomic<double> sum_{0};
};

#pragma once
// A set of metric families (counters, gauges, histograms, each with its label names) rendered in
// the Prometheus text format 0.0.4: HELP and TYPE lines, then one sample line per label set
// (series in label order; histograms as _bucket lines up to le="+Inf", _sum and _count).
//
// Families are registered once, at start. A family's series is made on its first use, under the
// family's lock: look it up once and keep the reference, which stays valid for the registry's
// life, where it is bumped often (the request path then takes no lock).
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/MetricCells.h"

using LabelValues = std::vector<std::string>;

class MetricFamilyBase {
public:
    MetricFamilyBase(std::string name, std::string help, std::string type, std::vector<std::string> labelNames);
    virtual ~MetricFamilyBase() = default;
    // HELP, TYPE and every sample line.
    void render(std::string& out) const;

protected:
    virtual void renderSamples(std::string& out) const = 0;
    // The label list as rendered inside the braces (`a="x",b="y"`; "" without labels).
    std::string labelText(const LabelValues& values) const;
    void checkLabels(const LabelValues& values) const;
    const std::string name_;

private:
    const std::string help_;
    const std::string type_;
    const std::vector<std::string> labelNames_;
};

template <class Cell>
class MetricFamily final : public MetricFamilyBase {
public:
    using Make = std::function<std::unique_ptr<Cell>()>;
    MetricFamily(std::string name, std::string help, std::string type, std::vector<std::string> labelNames, Make make)
        : MetricFamilyBase(std::move(name), std::move(help), std::move(type), std::move(labelNames)),
          make_(std::move(make)) {}

    // The series of these label values (one per label name, in order), made at its first use.
    Cell& labels(const LabelValues& values) {
        checkLabels(values);
        const std::lock_guard lock(mutex_);
        auto& cell = series_[values];
        if (!cell) cell = make_();
        return *cell;
    }

private:
    void renderSamples(std::string& out) const override;

    const Make make_;
    mutable std::mutex mutex_;
    std::map<LabelValues, std::unique_ptr<Cell>> series_;
};

extern template class MetricFamily<Counter>;
extern template class MetricFamily<Gauge>;
extern template class MetricFamily<Histogram>;

class MetricsRegistry {
public:
    MetricFamily<Counter>& counter(std::string name, std::string help, std::vector<std::string> labelNames = {});
    MetricFamily<Gauge>& gauge(std::string name, std::string help, std::vector<std::string> labelNames = {});
    MetricFamily<Histogram>& histogram(std::string name, std::string help, std::vector<double> upperBounds,
                                       std::vector<std::string> labelNames = {});
    // A gauge without labels whose value is asked for at each rendering; no value, no sample.
    void computedGauge(std::string name, std::string help, std::function<std::optional<double>()> value);

    std::string render() const;

private:
    template <class Family>
    Family& add(std::unique_ptr<Family> family);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<MetricFamilyBase>> families_;  // in registration order
};

// A sample value as the format writes it: shortest round-trip decimal, NaN, +Inf, -Inf.
std::string metricValueText(double value);
// A label value escaped for the format: backslash, double quote and line feed.
std::string escapeLabelValue(std::string_view value);

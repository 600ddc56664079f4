#include "service/MetricsRegistry.h"

#include <charconv>
#include <cmath>

#include "text/Errors.h"

namespace {

// HELP text escapes backslash and line feed; label values also the double quote.
std::string escaped(std::string_view text, bool quote) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '"' && quote) out += "\\\"";
        else out += c;
    }
    return out;
}

void sampleLine(std::string& out, std::string_view name, std::string_view labels, std::string_view value) {
    out += name;
    if (!labels.empty()) {
        out += '{';
        out += labels;
        out += '}';
    }
    out += ' ';
    out += value;
    out += '\n';
}

void renderCell(std::string& out, const std::string& name, const std::string& labels, const Counter& cell) {
    sampleLine(out, name, labels, std::to_string(cell.value()));
}

void renderCell(std::string& out, const std::string& name, const std::string& labels, const Gauge& cell) {
    sampleLine(out, name, labels, metricValueText(cell.value()));
}

void renderCell(std::string& out, const std::string& name, const std::string& labels, const Histogram& cell) {
    const Histogram::Reading reading = cell.read();
    const std::string bucket = name + "_bucket";
    const std::string prefix = labels.empty() ? "" : labels + ",";
    const auto& bounds = cell.upperBounds();
    for (std::size_t i = 0; i < reading.cumulative.size(); ++i) {
        const std::string le = i < bounds.size() ? metricValueText(bounds[i]) : "+Inf";
        sampleLine(out, bucket, prefix + "le=\"" + le + "\"", std::to_string(reading.cumulative[i]));
    }
    sampleLine(out, name + "_sum", labels, metricValueText(reading.sum));
    sampleLine(out, name + "_count", labels, std::to_string(reading.cumulative.back()));
}

class ComputedGauge final : public MetricFamilyBase {
public:
    ComputedGauge(std::string name, std::string help, std::function<std::optional<double>()> value)
        : MetricFamilyBase(std::move(name), std::move(help), "gauge", {}), value_(std::move(value)) {}

private:
    void renderSamples(std::string& out) const override {
        if (const auto value = value_()) sampleLine(out, name_, "", metricValueText(*value));
    }
    const std::function<std::optional<double>()> value_;
};

}  // namespace

std::string metricValueText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string escapeLabelValue(std::string_view value) { return escaped(value, true); }

MetricFamilyBase::MetricFamilyBase(std::string name, std::string help, std::string type,
                                   std::vector<std::string> labelNames)
    : name_(std::move(name)), help_(std::move(help)), type_(std::move(type)), labelNames_(std::move(labelNames)) {}

void MetricFamilyBase::render(std::string& out) const {
    out += "# HELP " + name_ + ' ' + escaped(help_, false) + '\n';
    out += "# TYPE " + name_ + ' ' + type_ + '\n';
    renderSamples(out);
}

std::string MetricFamilyBase::labelText(const LabelValues& values) const {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += ',';
        text += labelNames_[i] + "=\"" + escapeLabelValue(values[i]) + '"';
    }
    return text;
}

void MetricFamilyBase::checkLabels(const LabelValues& values) const {
    if (values.size() != labelNames_.size())
        throw QuorvaneError("metric " + name_ + " takes " + std::to_string(labelNames_.size()) +
                            " label values, not " + std::to_string(values.size()));
}

template <class Cell>
void MetricFamily<Cell>::renderSamples(std::string& out) const {
    const std::lock_guard lock(mutex_);
    for (const auto& [values, cell] : series_) renderCell(out, name_, labelText(values), *cell);
}

template class MetricFamily<Counter>;
template class MetricFamily<Gauge>;
template class MetricFamily<Histogram>;

template <class Family>
Family& MetricsRegistry::add(std::unique_ptr<Family> family) {
    Family& added = *family;
    const std::lock_guard lock(mutex_);
    families_.push_back(std::move(family));
    return added;
}

MetricFamily<Counter>& MetricsRegistry::counter(std::string name, std::string help,
                                                std::vector<std::string> labelNames) {
    return add(std::make_unique<MetricFamily<Counter>>(std::move(name), std::move(help), "counter",
                                                       std::move(labelNames),
                                                       [] { return std::make_unique<Counter>(); }));
}

MetricFamily<Gauge>& MetricsRegistry::gauge(std::string name, std::string help, std::vector<std::string> labelNames) {
    return add(std::make_unique<MetricFamily<Gauge>>(std::move(name), std::move(help), "gauge",
                                                     std::move(labelNames),
                                                     [] { return std::make_unique<Gauge>(); }));
}

MetricFamily<Histogram>& MetricsRegistry::histogram(std::string name, std::string help,
                                                    std::vector<double> upperBounds,
                                                    std::vector<std::string> labelNames) {
    return add(std::make_unique<MetricFamily<Histogram>>(
        std::move(name), std::move(help), "histogram", std::move(labelNames),
        [bounds = std::move(upperBounds)] { return std::make_unique<Histogram>(bounds); }));
}

void MetricsRegistry::computedGauge(std::string name, std::string help,
                                    std::function<std::optional<double>()> value) {
    add(std::make_unique<ComputedGauge>(std::move(name), std::move(help), std::move(value)));
}

std::string MetricsRegistry::render() const {
    std::string out;
    const std::lock_guard lock(mutex_);
    for (const auto& family : families_) family->render(out);
    return out;
}

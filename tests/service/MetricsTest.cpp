// /metrics as Prometheus reads it: the rendered text goes through prometheus_client's own parser
// (Debian python3-prometheus-client), and what the parser saw is compared with what was counted.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <limits>
#include <thread>
#include <vector>

#include "service/MetricsRegistry.h"
#include "service/ServiceMetrics.h"
#include "text/Errors.h"

namespace {

// Every family the parser found: {"name": {"type": ..., "help": ..., "samples": {"sample{labels}": value}}},
// the labels sorted and joined as k=v with commas; values that JSON cannot hold as text ("inf").
constexpr const char* ParserScript = R"(
import json, math, sys
from prometheus_client.parser import text_string_to_metric_families
families = {}
for family in text_string_to_metric_families(open(sys.argv[1]).read()):
    samples = {}
    for s in family.samples:
        labels = ",".join(k + "=" + v for k, v in sorted(s.labels.items()))
        samples[s.name + "{" + labels + "}"] = s.value if math.isfinite(s.value) else str(s.value)
    families[family.name] = {"type": family.type, "help": family.documentation, "samples": samples}
print(json.dumps(families))
)";

QJsonObject parsedByPrometheus(const std::string& text) {
    QTemporaryDir dir;
    const std::string metrics = dir.path().toStdString() + "/metrics.txt";
    const std::string script = dir.path().toStdString() + "/parse.py";
    std::ofstream(metrics) << text;
    std::ofstream(script) << ParserScript;
    const std::string command = std::string(QUORVANE_PYTHON) + " " + script + " " + metrics;
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << "the parser refused:\n" << text;
    return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
}

double sample(const QJsonObject& families, const char* family, const char* sample) {
    const QJsonValue value = families[family]["samples"][sample];
    EXPECT_TRUE(value.isDouble()) << family << " lacks " << sample;
    return value.toDouble();
}

TEST(MetricsTest, TheBoardsMetricsReadBackThroughPrometheusParser) {
    Instant now = instantOfUnix(1'767'225'600);
    ServiceMetrics metrics("1.2.3", [&now] { return now; });
    const std::string before = metrics.render();
    EXPECT_EQ(before.find("\nquorvane_data_age_seconds "), std::string::npos);  // no data yet, no sample

    metrics.grabEnded(false, now - std::chrono::seconds(600));
    metrics.grabEnded(true, now - std::chrono::seconds(300));
    metrics.setDataTime(now - std::chrono::seconds(300));
    metrics.personFetched("caldav", "ok", 0.2);
    metrics.personFetched("caldav", "ok", 0.05);  // on a bound: that bound's bucket
    metrics.personFetched("daypage", "failed", 75);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&metrics] {
            for (int i = 0; i < 1000; ++i) {
                metrics.connectionOpened();
                metrics.httpAnswered(i % 10 == 0 ? 403 : 200);
                metrics.connectionClosed();
            }
        });
    for (auto& thread : threads) thread.join();
    metrics.connectionOpened();
    now += std::chrono::seconds(60);

    const QJsonObject parsed = parsedByPrometheus(metrics.render());
    const struct {
        const char* family;
        const char* type;
        const char* sample;
        double value;
    } expected[] = {
        {"quorvane_build_info", "gauge", "quorvane_build_info{version=1.2.3}", 1},
        {"quorvane_grabs", "counter", "quorvane_grabs_total{result=ok}", 1},
        {"quorvane_grabs", "counter", "quorvane_grabs_total{result=failed}", 1},
        {"quorvane_person_fetches", "counter", "quorvane_person_fetches_total{result=ok,source=caldav}", 2},
        {"quorvane_person_fetches", "counter", "quorvane_person_fetches_total{result=failed,source=daypage}", 1},
        {"quorvane_last_grab_success_timestamp_seconds", "gauge", "quorvane_last_grab_success_timestamp_seconds{}",
         1'767'225'300},
        {"quorvane_data_age_seconds", "gauge", "quorvane_data_age_seconds{}", 360},
        {"quorvane_http_requests", "counter", "quorvane_http_requests_total{code=200}", 3600},
        {"quorvane_http_requests", "counter", "quorvane_http_requests_total{code=403}", 400},
        {"quorvane_http_connections_open", "gauge", "quorvane_http_connections_open{}", 1},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_bucket{le=0.01}", 0},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_bucket{le=0.05}", 1},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_bucket{le=0.25}", 2},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_bucket{le=60}", 2},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_bucket{le=+Inf}", 3},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_count{}", 3},
        {"quorvane_fetch_duration_seconds", "histogram", "quorvane_fetch_duration_seconds_sum{}", 75.25},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(parsed[e.family]["type"].toString().toStdString(), e.type) << e.family;
        EXPECT_FALSE(parsed[e.family]["help"].toString().isEmpty()) << e.family;
        EXPECT_DOUBLE_EQ(sample(parsed, e.family, e.sample), e.value) << e.sample;
    }
    EXPECT_EQ(parsed.size(), 8);
}

TEST(MetricsTest, LabelValuesAndHelpAreEscaped) {
    MetricsRegistry registry;
    registry.counter("odd_total", "Help with a \\ and a\nsecond line.", {"what"})
        .labels({"quote \" backslash \\ newline \n end"})
        .inc(7);
    registry.gauge("values", "Special values.", {"kind"}).labels({"inf"}).set(std::numeric_limits<double>::infinity());
    const QJsonObject parsed = parsedByPrometheus(registry.render());
    EXPECT_EQ(parsed["odd"]["help"].toString(), "Help with a \\ and a\nsecond line.");
    EXPECT_EQ(sample(parsed, "odd", "odd_total{what=quote \" backslash \\ newline \n end}"), 7);
    EXPECT_EQ(parsed["values"]["samples"]["values{kind=inf}"].toString(), "inf");
    EXPECT_THROW(registry.counter("two_total", "Two labels.", {"a", "b"}).labels({"only one"}), QuorvaneError);
}

}  // namespace

#include "web/LocalTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

std::tm localParts(std::int64_t unixSeconds) {
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm parts{};
    localtime_r(&time, &parts);
    return parts;
}

}  // namespace

std::string isoLocalTime(std::int64_t unixSeconds) {
    const std::tm parts = localParts(unixSeconds);
    const long offset = parts.tm_gmtoff / 60;
    const long magnitude = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, offset < 0 ? '-' : '+',
                  magnitude / 60, magnitude % 60);
    return text;
}

std::string localHourMinute(std::int64_t unixSeconds) {
    const std::tm parts = localParts(unixSeconds);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", parts.tm_hour, parts.tm_min);
    return text;
}


#pragma once
// Sets the process's local zone (TZ) for one test and puts the previous one back.
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (saved_) setenv("TZ", saved_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    std::optional<std::string> saved_;
};

inline std::string readIcs(const std::string& name)
{
    std::ostringstream out;
    out << std::ifstream(std::string(QUORVANE_TEST_DATA) + "/ics/" + name, std::ios::binary).rdbuf();
    return out.str();
}

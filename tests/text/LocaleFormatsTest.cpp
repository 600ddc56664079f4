// Regional settings: the record built from locale items, the environment's locale, and
// whole-record swaps seen by formatting threads.
#include "text/DateTime.h"
#include "text/LocaleItems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <thread>

using namespace quorvane;

namespace {

const DateTime Sample = 46088.378512222;  // 7 March 2026 09:05:03.456

FormatSettings fromItems(std::map<nl_item, std::string> items)
{
    return formatsFromLocaleItems([&](nl_item item) { return items.count(item) ? items[item] : ""; });
}

}  // namespace

TEST(LocaleFormatsTest, GermanStyleItemsWithFallbacks)
{
    const FormatSettings f = fromItems({{D_FMT, "%d.%m.%Y"}, {T_FMT, "%T"}, {RADIXCHAR, ","},
                                         {AM_STR, ""}, {ABMON_3, "M\xC3\xA4r"}});
    EXPECT_EQ(f.shortDatePattern, "dd.MM.yyyy");
    EXPECT_EQ(std::string({f.dateSep, f.timeSep, f.decimalSep}), ".:,");
    EXPECT_EQ(f.amDesignator + f.pmDesignator, "ampm");
    EXPECT_EQ(f.monthAbbrevs[1] + f.monthAbbrevs[2], "FebM\xC3\xA4r");
    EXPECT_EQ(dateTimeToText("dd/mmm/yyyy hh:mm", Sample, f), "07.M\xC3\xA4r.2026 09:05");
    EXPECT_DOUBLE_EQ(textToDateTime("07.03.2026 09:05", f, 2026), encodeDate(2026, 3, 7) + encodeTime(9, 5, 0, 0));
}

TEST(LocaleFormatsTest, DateAndTimeFormats)
{
    const auto with = [](std::string date, std::string time = "%H:%M:%S") {
        return fromItems({{D_FMT, date}, {T_FMT, time}});
    };
    EXPECT_EQ(with("%m/%d/%y").shortDatePattern, "MM/dd/yy");
    EXPECT_EQ(with("%F").shortDatePattern + with("%F").dateSep, "yyyy-MM-dd-");
    EXPECT_EQ(with("%-e/%-m/%Y").shortDatePattern, "dd/MM/yyyy");
    EXPECT_EQ(with("Le %d %b %Y").shortDatePattern, " dd MMM yyyy");  // words fake no order
    EXPECT_EQ(with("%d %b %Y").dateSep, '/');  // a blank could not be parsed back
    // A multi-byte separator cannot be one character: the fallback stands in.
    EXPECT_EQ(with("%Y\xEB\x85\x84 %m\xEC\x9B\x94 %d\xEC\x9D\xBC").dateSep, '/');
    EXPECT_EQ(with("%d/%m/%Y", "%H.%M.%S").timeSep, '.');
    EXPECT_EQ(fromItems({}), FormatSettings::fallback());
}

TEST(LocaleFormatsTest, EnvironmentLocale)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    const FormatSettings posix = FormatSettings::fromEnvironment();
    setenv("LC_ALL", "no_SUCH.locale", 1);
    const FormatSettings unknown = FormatSettings::fromEnvironment();
    saved ? setenv("LC_ALL", savedValue.c_str(), 1) : unsetenv("LC_ALL");
    EXPECT_EQ(posix.shortDatePattern, "MM/dd/yy");
    EXPECT_EQ(std::string({posix.dateSep, posix.timeSep, posix.decimalSep}), "/:.");
    EXPECT_EQ(posix.amDesignator, "AM");
    EXPECT_EQ(posix.monthAbbrevs[2], "Mar");
    EXPECT_EQ(unknown, FormatSettings::fallback());
}

TEST(LocaleFormatsTest, SetReloadAndWholeSwaps)
{
    FormatSettings first = FormatSettings::dayMonthYear();
    FormatSettings second = first;
    second.dateSep = '-';
    second.timeSep = '.';
    second.monthAbbrevs[2] = "mars";
    setLocaleFormats(second);
    EXPECT_DOUBLE_EQ(textToDateTime("7-3-2026"), encodeDate(2026, 3, 7));
    const std::string pattern = "dd/mmm/yyyy:hh:nn";
    const std::string a = dateTimeToText(pattern, Sample, first);
    const std::string b = dateTimeToText(pattern, Sample);
    EXPECT_EQ(b, "07-mars-2026.09.05");

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0}, formatted{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string out = dateTimeToText(pattern, Sample);
                torn += out != a && out != b;
                ++formatted;
            }
        });
    }
    for (int i = 0; i < 1000 || formatted.load() < 2000; ++i) {
        setLocaleFormats(i % 2 ? first : second);
    }
    stop = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(torn.load(), 0);
    reloadLocaleFormats();
    EXPECT_EQ(*localeFormats(), FormatSettings::fromEnvironment());
}

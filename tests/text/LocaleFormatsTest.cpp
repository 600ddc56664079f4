// Regional settings: the record built from locale items, the environment's locale, and
// whole-record swaps seen by formatting threads.
#include "text/DateTime.h"
#include "text/LocaleItems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <thread>

namespace {

const TDateTime kSample = 46088.378512222;  // 7 March 2026 09:05:03.456

TFormatSettings FromItems(std::map<nl_item, std::string> items)
{
    return FormatsFromLocaleItems([&](nl_item item) { return items.count(item) ? items[item] : ""; });
}

}  // namespace

TEST(LocaleFormatsTest, GermanStyleItemsWithFallbacks)
{
    const TFormatSettings f = FromItems({{D_FMT, "%d.%m.%Y"}, {T_FMT, "%T"}, {RADIXCHAR, ","},
                                         {AM_STR, ""}, {ABMON_3, "M\xC3\xA4r"}});
    EXPECT_EQ(f.ShortDatePattern, "dd.MM.yyyy");
    EXPECT_EQ(std::string({f.DateSep, f.TimeSep, f.DecimalSep}), ".:,");
    EXPECT_EQ(f.AmDesignator + f.PmDesignator, "ampm");
    EXPECT_EQ(f.MonthAbbrevs[1] + f.MonthAbbrevs[2], "FebM\xC3\xA4r");
    EXPECT_EQ(DateTimeToText("dd/mmm/yyyy hh:mm", kSample, f), "07.M\xC3\xA4r.2026 09:05");
    EXPECT_DOUBLE_EQ(TextToDateTime("07.03.2026 09:05", f, 2026), EncodeDate(2026, 3, 7) + EncodeTime(9, 5, 0, 0));
}

TEST(LocaleFormatsTest, DateAndTimeFormats)
{
    const auto with = [](std::string date, std::string time = "%H:%M:%S") {
        return FromItems({{D_FMT, date}, {T_FMT, time}});
    };
    EXPECT_EQ(with("%m/%d/%y").ShortDatePattern, "MM/dd/yy");
    EXPECT_EQ(with("%F").ShortDatePattern + with("%F").DateSep, "yyyy-MM-dd-");
    EXPECT_EQ(with("%-e/%-m/%Y").ShortDatePattern, "dd/MM/yyyy");
    EXPECT_EQ(with("Le %d %b %Y").ShortDatePattern, " dd MMM yyyy");  // words fake no order
    EXPECT_EQ(with("%d %b %Y").DateSep, '/');  // a blank could not be parsed back
    // A multi-byte separator cannot be one character: the fallback stands in.
    EXPECT_EQ(with("%Y\xEB\x85\x84 %m\xEC\x9B\x94 %d\xEC\x9D\xBC").DateSep, '/');
    EXPECT_EQ(with("%d/%m/%Y", "%H.%M.%S").TimeSep, '.');
    EXPECT_EQ(FromItems({}), TFormatSettings::Fallback());
}

TEST(LocaleFormatsTest, EnvironmentLocale)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    const TFormatSettings posix = TFormatSettings::FromEnvironment();
    setenv("LC_ALL", "no_SUCH.locale", 1);
    const TFormatSettings unknown = TFormatSettings::FromEnvironment();
    saved ? setenv("LC_ALL", savedValue.c_str(), 1) : unsetenv("LC_ALL");
    EXPECT_EQ(posix.ShortDatePattern, "MM/dd/yy");
    EXPECT_EQ(std::string({posix.DateSep, posix.TimeSep, posix.DecimalSep}), "/:.");
    EXPECT_EQ(posix.AmDesignator, "AM");
    EXPECT_EQ(posix.MonthAbbrevs[2], "Mar");
    EXPECT_EQ(unknown, TFormatSettings::Fallback());
}

TEST(LocaleFormatsTest, SetReloadAndWholeSwaps)
{
    TFormatSettings first = TFormatSettings::DayMonthYear();
    TFormatSettings second = first;
    second.DateSep = '-';
    second.TimeSep = '.';
    second.MonthAbbrevs[2] = "mars";
    SetLocaleFormats(second);
    EXPECT_DOUBLE_EQ(TextToDateTime("7-3-2026"), EncodeDate(2026, 3, 7));
    const std::string pattern = "dd/mmm/yyyy:hh:nn";
    const std::string a = DateTimeToText(pattern, kSample, first);
    const std::string b = DateTimeToText(pattern, kSample);
    EXPECT_EQ(b, "07-mars-2026.09.05");

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0}, formatted{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string out = DateTimeToText(pattern, kSample);
                torn += out != a && out != b;
                ++formatted;
            }
        });
    }
    for (int i = 0; i < 1000 || formatted.load() < 2000; ++i) {
        SetLocaleFormats(i % 2 ? first : second);
    }
    stop = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(torn.load(), 0);
    ReloadLocaleFormats();
    EXPECT_EQ(*LocaleFormats(), TFormatSettings::FromEnvironment());
}

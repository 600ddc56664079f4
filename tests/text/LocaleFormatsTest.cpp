// Regional settings: building the record from locale items, the environment's locale, and
// whole-record swaps seen by formatting threads.
#include "text/DateTime.h"
#include "text/LocaleItems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <thread>

namespace {

TLocaleItemReader Items(std::map<nl_item, std::string> items)
{
    return [items = std::move(items)](nl_item item) {
        const auto found = items.find(item);
        return found == items.end() ? std::string() : found->second;
    };
}

const TDateTime kSample = 46088.378512222;  // 7 March 2026 09:05:03.456

}  // namespace

TEST(LocaleItemsTest, GermanStyleItems)
{
    const TFormatSettings f = FormatsFromLocaleItems(Items({
        {D_FMT, "%d.%m.%Y"}, {T_FMT, "%T"}, {RADIXCHAR, ","}, {AM_STR, ""}, {PM_STR, ""},
        {ABMON_1, "Jan"}, {ABMON_3, "M\xC3\xA4r"}, {ABMON_12, "Dez"}}));
    EXPECT_EQ(f.ShortDatePattern, "dd.MM.yyyy");
    EXPECT_EQ(f.DateSep, '.');
    EXPECT_EQ(f.TimeSep, ':');
    EXPECT_EQ(f.DecimalSep, ',');
    EXPECT_EQ(f.AmDesignator, "am");  // empty items fall back
    EXPECT_EQ(f.PmDesignator, "pm");
    EXPECT_EQ(f.MonthAbbrevs[2], "M\xC3\xA4r");
    EXPECT_EQ(f.MonthAbbrevs[1], "Feb");
    EXPECT_EQ(DateTimeToText("dd/mmm/yyyy hh:mm", kSample, f), "07.M\xC3\xA4r.2026 09:05");
    EXPECT_DOUBLE_EQ(TextToDateTime("07.03.2026 09:05", f, 2026), EncodeDate(2026, 3, 7) + EncodeTime(9, 5, 0, 0));
}

TEST(LocaleItemsTest, DateOrdersAndSeparators)
{
    auto with = [](std::string dateFormat, std::string timeFormat = "%H:%M:%S") {
        return FormatsFromLocaleItems(Items({{D_FMT, std::move(dateFormat)}, {T_FMT, std::move(timeFormat)}}));
    };
    EXPECT_EQ(with("%m/%d/%y").ShortDatePattern, "MM/dd/yy");
    EXPECT_EQ(with("%Y-%m-%d").ShortDatePattern, "yyyy-MM-dd");
    EXPECT_EQ(with("%Y-%m-%d").DateSep, '-');
    EXPECT_EQ(with("%D").ShortDatePattern, "MM/dd/yy");
    EXPECT_EQ(with("%F").DateSep, '-');
    EXPECT_EQ(with("%e/%m/%Y").ShortDatePattern, "dd/MM/yyyy");
    EXPECT_EQ(with("%-d/%-m/%Y").ShortDatePattern, "dd/MM/yyyy");
    EXPECT_EQ(with("%d %b %Y").DateSep, ' ');
    // A multi-byte separator cannot be one character: the fallback stands in.
    const TFormatSettings korean = with("%Y\xEB\x85\x84 %m\xEC\x9B\x94 %d\xEC\x9D\xBC");
    EXPECT_EQ(korean.DateSep, '/');
    EXPECT_EQ(korean.ShortDatePattern.front(), 'y');
    EXPECT_EQ(with("%d/%m/%Y", "%H.%M.%S").TimeSep, '.');
    EXPECT_EQ(with("%d/%m/%Y", "%I:%M:%S %p").TimeSep, ':');
    EXPECT_EQ(with("%d/%m/%Y", "%R").TimeSep, ':');
    const TFormatSettings empty = FormatsFromLocaleItems(Items({}));
    EXPECT_EQ(empty.ShortDatePattern, "m/d/yy");
    EXPECT_EQ(empty.DateSep, '/');
    EXPECT_EQ(empty.TimeSep, ':');
    EXPECT_EQ(empty.DecimalSep, '.');
}

TEST(LocaleFormatsTest, EnvironmentPosixLocale)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string savedValue = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    const TFormatSettings f = TFormatSettings::FromEnvironment();
    setenv("LC_ALL", "no_SUCH.locale", 1);
    const TFormatSettings bad = TFormatSettings::FromEnvironment();
    if (saved) {
        setenv("LC_ALL", savedValue.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    EXPECT_EQ(f.ShortDatePattern, "MM/dd/yy");
    EXPECT_EQ(f.DateSep, '/');
    EXPECT_EQ(f.TimeSep, ':');
    EXPECT_EQ(f.DecimalSep, '.');
    EXPECT_EQ(f.AmDesignator, "AM");
    EXPECT_EQ(f.MonthAbbrevs[2], "Mar");
    EXPECT_EQ(bad.ShortDatePattern, "m/d/yy");  // an unknown locale gives the fallbacks
    EXPECT_EQ(bad.MonthAbbrevs[11], "Dec");
}

TEST(LocaleFormatsTest, SetAndReload)
{
    TFormatSettings dots = TFormatSettings::DayMonthYear();
    dots.DateSep = '.';
    SetLocaleFormats(dots);
    EXPECT_EQ(LocaleFormats()->DateSep, '.');
    EXPECT_EQ(DateTimeToText("dd/mm/yyyy", kSample), "07.03.2026");
    EXPECT_DOUBLE_EQ(TextToDateTime("7.3.2026"), EncodeDate(2026, 3, 7));
    ReloadLocaleFormats();
    EXPECT_EQ(*LocaleFormats(), TFormatSettings::FromEnvironment());
}

TEST(LocaleFormatsTest, ReadersSeeWholeRecordsWhileSwapped)
{
    TFormatSettings first = TFormatSettings::DayMonthYear();
    TFormatSettings second = first;
    second.DateSep = '-';
    second.TimeSep = '.';
    second.MonthAbbrevs[2] = "mars";
    const std::string pattern = "dd/mmm/yyyy:hh:nn";
    const std::string a = DateTimeToText(pattern, kSample, first);
    const std::string b = DateTimeToText(pattern, kSample, second);
    SetLocaleFormats(first);

    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> formatted{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string out = DateTimeToText(pattern, kSample);
                if (out != a && out != b) {
                    ++torn;
                }
                ++formatted;
            }
        });
    }
    // Swap until both readers have formatted a good many times across the swaps.
    for (int i = 0; i < 1000 || formatted.load() < 2000; ++i) {
        SetLocaleFormats(i % 2 ? first : second);
    }
    stop = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(torn.load(), 0);
    ReloadLocaleFormats();
}

#include "text/DateTime.h"

#include "text/LocaleItems.h"
#include "text/TextConstants.h"

#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <utility>

namespace {

// A locale object for one category of the environment's settings, freed on scope exit. Built
// with newlocale, never setlocale, so reading it is safe while other threads run.
class EnvironmentLocale {
public:
    explicit EnvironmentLocale(int categoryMask) : locale_(newlocale(categoryMask, "", locale_t(nullptr))) {}
    ~EnvironmentLocale()
    {
        if (locale_ != locale_t(nullptr)) {
            freelocale(locale_);
        }
    }
    EnvironmentLocale(const EnvironmentLocale&) = delete;
    EnvironmentLocale& operator=(const EnvironmentLocale&) = delete;

    // The item's text, empty when the locale could not be built or holds nothing.
    std::string Item(nl_item item) const
    {
        if (locale_ == locale_t(nullptr)) {
            return {};
        }
        const char* text = nl_langinfo_l(item, locale_);
        return text != nullptr ? std::string(text) : std::string();
    }

private:
    locale_t locale_;
};

std::mutex& FormatsMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The current record; null until first asked for or set.
std::shared_ptr<const TFormatSettings>& CurrentFormats()
{
    static std::shared_ptr<const TFormatSettings> current;
    return current;
}

}  // namespace

TFormatSettings TFormatSettings::Fallback()
{
    return TFormatSettings{};
}

TFormatSettings TFormatSettings::DayMonthYear()
{
    TFormatSettings formats;
    formats.DateSep = kFallbackDateSep;
    formats.TimeSep = kFallbackTimeSep;
    formats.ShortDatePattern = std::string(kDayMonthYearPattern);
    return formats;
}

TFormatSettings TFormatSettings::FromEnvironment()
{
    const EnvironmentLocale time(LC_TIME_MASK);
    const EnvironmentLocale numeric(LC_NUMERIC_MASK);
    return FormatsFromLocaleItems([&](nl_item item) {
        return item == RADIXCHAR ? numeric.Item(item) : time.Item(item);
    });
}

std::shared_ptr<const TFormatSettings> LocaleFormats()
{
    std::lock_guard lock(FormatsMutex());
    auto& current = CurrentFormats();
    if (!current) {
        current = std::make_shared<const TFormatSettings>(TFormatSettings::FromEnvironment());
    }
    return current;
}

void SetLocaleFormats(TFormatSettings formats)
{
    // Build the new record outside the lock; readers keep whichever record they copied.
    auto next = std::make_shared<const TFormatSettings>(std::move(formats));
    std::shared_ptr<const TFormatSettings> previous;
    {
        std::lock_guard lock(FormatsMutex());
        previous = std::exchange(CurrentFormats(), std::move(next));
    }
    // previous is released here, outside the lock.
}

void ReloadLocaleFormats()
{
    SetLocaleFormats(TFormatSettings::FromEnvironment());
}

#include "text/DateTime.h"

#include "text/LocaleItems.h"
#include "text/TextConstants.h"

#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <utility>

namespace quorvane {

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
    std::string item(nl_item item) const
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

std::mutex& formatsMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The current record; null until first asked for or set.
std::shared_ptr<const FormatSettings>& currentFormats()
{
    static std::shared_ptr<const FormatSettings> current;
    return current;
}

}  // namespace

FormatSettings FormatSettings::fallback()
{
    return FormatSettings{};
}

FormatSettings FormatSettings::dayMonthYear()
{
    FormatSettings formats;
    formats.dateSep = FallbackDateSep;
    formats.timeSep = FallbackTimeSep;
    formats.shortDatePattern = std::string(DayMonthYearPattern);
    return formats;
}

FormatSettings FormatSettings::fromEnvironment()
{
    const EnvironmentLocale time(LC_TIME_MASK);
    const EnvironmentLocale numeric(LC_NUMERIC_MASK);
    return formatsFromLocaleItems([&](nl_item item) {
        return item == RADIXCHAR ? numeric.item(item) : time.item(item);
    });
}

std::shared_ptr<const FormatSettings> localeFormats()
{
    std::lock_guard lock(formatsMutex());
    auto& current = currentFormats();
    if (!current) {
        current = std::make_shared<const FormatSettings>(FormatSettings::fromEnvironment());
    }
    return current;
}

void setLocaleFormats(FormatSettings formats)
{
    // Build the new record outside the lock; readers keep whichever record they copied.
    auto next = std::make_shared<const FormatSettings>(std::move(formats));
    std::shared_ptr<const FormatSettings> previous;
    {
        std::lock_guard lock(formatsMutex());
        previous = std::exchange(currentFormats(), std::move(next));
    }
    // previous is released here, outside the lock.
}

void reloadLocaleFormats()
{
    setLocaleFormats(FormatSettings::fromEnvironment());
}

}  // namespace quorvane

#include "board/AddressSourceParser.h"

#include <QMetaObject>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "board/BoardConstants.h"
#include "calendar/CalendarConstants.h"
#include "calendar/CalendarError.h"
#include "calendar/EventFilter.h"
#include "calendar/LocalTime.h"

namespace quorvane {

std::vector<std::string> savedTexts(const std::vector<std::string>& texts, const KeptDates& dates)
{
    std::size_t total = 0;
    for (const std::string& text : texts) total += text.size();
    if (total <= SavedRawTextBytes) return texts;
    const DayNumberRange keep{civilDayNumber(dates.first.year, dates.first.month, dates.first.day),
                              civilDayNumber(dates.last.year, dates.last.month, dates.last.day)};
    std::size_t eventsLeft = MaxEventsRead;
    WarningList ignored;  // given already, when the calendar was read
    std::vector<std::string> kept;
    std::size_t size = 0;
    for (const std::string& text : texts) {
        std::optional<std::string> filtered = filterEvents(text, keep, eventsLeft, ignored);
        size += filtered ? filtered->size() : text.size();
        if (size > SavedCalendarMaxBytes) return {};
        kept.push_back(filtered ? std::move(*filtered) : text);
    }
    return kept;
}

namespace {

ParsedTexts readTexts(const std::vector<std::string>& texts, CivilDate day)
{
    ParsedTexts parsed;
    const KeptDates dates = KeptDates::around(day.year, day.month, day.day);
    try {
        parsed.calendar.emplace(ParsedCalendar::parse(texts, dates));
        parsed.calendar->day(day.year, day.month, day.day);
        parsed.saved = savedTexts(texts, dates);
    } catch (const CalendarError& error) {
        parsed.failure = error.what();
    }
    return parsed;
}

}  // namespace

// What the reading thread and the owner share; the thread keeps it alive after the owner is gone.
struct AddressSourceParser::Shared {
    struct Job {
        std::vector<std::string> texts;
        CivilDate day{};
        Done done;
        unsigned generation = 0;
    };
    std::mutex lock;
    std::condition_variable wake;
    std::deque<Job> jobs;
    unsigned generation = 0;  // a drop makes every earlier job's result stale
    QObject* replies = nullptr;  // null once the owner is gone
    bool stopping = false;
};

AddressSourceParser::AddressSourceParser() : shared_(std::make_shared<Shared>())
{
    shared_->replies = &replies_;
    std::thread([shared = shared_] {
        for (;;) {
            Shared::Job job;
            {
                std::unique_lock<std::mutex> guard(shared->lock);
                shared->wake.wait(guard, [&] { return shared->stopping || !shared->jobs.empty(); });
                if (shared->stopping) return;
                job = std::move(shared->jobs.front());
                shared->jobs.pop_front();
            }
            auto parsed = std::make_shared<ParsedTexts>(readTexts(job.texts, job.day));
            const std::lock_guard<std::mutex> guard(shared->lock);
            if (shared->stopping || job.generation != shared->generation) continue;
            // Posted under the lock: the owner cannot go while it is posted.
            QMetaObject::invokeMethod(
                shared->replies,
                [done = std::move(job.done), parsed] { done(std::move(*parsed)); }, Qt::QueuedConnection);
        }
    }).detach();
}

AddressSourceParser::~AddressSourceParser()
{
    {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->stopping = true;
        shared_->jobs.clear();
        shared_->replies = nullptr;
    }
    shared_->wake.notify_all();
}

void AddressSourceParser::parse(std::vector<std::string> texts, CivilDate day, Done done)
{
    {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->jobs.push_back({std::move(texts), day, std::move(done), shared_->generation});
    }
    shared_->wake.notify_all();
}

void AddressSourceParser::drop()
{
    const std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->jobs.clear();
    ++shared_->generation;
    // Answers already posted are dropped by their owner: see AddressSource.
}

}  // namespace quorvane

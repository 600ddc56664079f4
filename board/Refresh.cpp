#include "board/Refresh.h"

#include <optional>
#include <utility>

#include "board/BoardConstants.h"
#include "board/DayPageParser.h"
#include "board/PageChecks.h"
#include "browser/CalendarAddress.h"
#include "text/DateTime.h"

RefreshCycle::RefreshCycle(Roster& roster, BoardState& state, BrowserDriver& browser, LogWriter& log,
                           const Clock& clock, RefreshHost& host, PublishSnapshot publish, std::string calendarHost,
                           std::string boardAddress, CalendarFetchSettings calendarFetch)
    : roster_(roster), state_(state), browser_(browser), log_(log), clock_(clock), host_(host), publish_(std::move(publish)),
      calendarHost_(std::move(calendarHost)), boardAddress_(std::move(boardAddress)),
      calendars_(std::move(calendarFetch), log)
{
}

void RefreshCycle::requestRefresh()
{
    if (running_) {
        followUp_ = true;
        return;
    }
    do {
        followUp_ = false;
        running_ = true;
        try {
            if (beforeRun) beforeRun();
            runOnce();
        } catch (...) {
            running_ = false;
            followUp_ = false;
            fetchedIndex_ = -1;
            fetchOutcome_ = WaitOutcome::Loaded;
            throw;
        }
        running_ = false;
    } while (followUp_);
}

void RefreshCycle::runOnce()
{
    // The effective time: the real clock, or the operator's fake time when the box holds any text.
    state_.nowTime = clock_.now();
    const std::string fakeTime = host_.fakeTimeText();
    if (!fakeTime.empty()) state_.nowTime = textToDateTime(fakeTime);

    // The day of the addresses, always written with "/" as the calendar server reads it.
    const std::string dateText =
        dateTimeToText(AddressDatePattern, state_.nowTime, FormatSettings::dayMonthYear());

    // The operator asked for a grab.
    if (host_.forceGrabChecked()) {
        host_.setForceGrabChecked(false);
        state_.grabPending = true;
    }
    roster_.fetch.resize(static_cast<std::size_t>(roster_.count()));
    fetchingEnded_ = browser_.stopped();
    failure_.clear();

    // The log-in. The flag is read again for every person below; lastRead keeps the last reading.
    const DateTime attemptAt = clock_.now();
    bool lastRead = state_.grabPending;
    bool attempted = lastRead;
    if (lastRead && !fetchingEnded_) {
        log_.log(std::string(StartingText), false);
        // The web calendar is contacted only for the people who read it; calendar addresses are
        // fetched together, in parallel, before anyone is processed.
        if (!readsWebCalendar()) {
            if (state_.grabStartedAt == 0) state_.grabStartedAt = attemptAt;
        } else {
            const std::string failure = logIn();
            if (failure.empty()) {
                if (state_.grabStartedAt == 0) state_.grabStartedAt = attemptAt;
                log_.log(std::string(LoggedInText), false);
            } else {
                // The day views would come back as log-in pages: none is fetched, the grab stays open.
                noteFailure(failure);
                log_.log(std::string(LogInFailedText) + failure, false);
                fetchingEnded_ = true;
            }
        }
        const std::string calendarFailure =
            calendars_.grab(roster_, state_.nowTime, clock_.now(), [this] { browser_.runWaitPass(); });
        if (!calendarFailure.empty()) noteFailure(calendarFailure);
    }

    log_.log(std::string(UpdatingInfoText) + dateTimeToText(UpdatingInfoPattern, state_.nowTime), false);
    statuses_.assign(static_cast<std::size_t>(roster_.count()), PersonStatus{});

    // Each person: fetch while a grab is pending and they have not been tried in it, then parse
    // the cached page.
    for (int i = 0; i < roster_.count(); ++i) {
        fetchedIndex_ = -1;
        fetchOutcome_ = WaitOutcome::Loaded;
        if (CalendarSources::isCalendarAddress(roster_.calendarItemId[i])) {
            log_.log(std::string(ProcessingText) + roster_.personName[i], false);
            statuses_[i] = calendars_.compose(roster_, i, instantOfLocal(state_.nowTime));
            continue;
        }
        lastRead = state_.grabPending;
        if (lastRead && !fetchingEnded_ && roster_.fetch[i].state == FetchState::Pending) {
            if (state_.grabStartedAt == 0) state_.grabStartedAt = attemptAt;
            attempted = true;
            log_.log(std::string(GrabbingPageText) + roster_.personName[i], false);
            fetchOutcome_ =
                browser_.navigateAndWait(dayViewAddress(calendarHost_, dateText, roster_.calendarItemId[i], dayViewsOverHttps_), true);
            fetchedIndex_ = i;
        }
        log_.log(std::string(ProcessingText) + roster_.personName[i], false);
        processPerson(i);
    }
    fetchedIndex_ = -1;
    fetchOutcome_ = WaitOutcome::Loaded;

    // The grab is complete once every person has been tried in it. It is closed here rather than
    // after "Done", so that a grab asked for while the board is written (the log call pumps
    // events) is kept for the next refresh instead of being lost.
    if (attempted) finishGrab(attemptAt, lastRead);

    // The new board: published (served from now on and shown to the operator), and in the
    // window's browser.
    publish();
    if (!browser_.stopped()) browser_.navigate(boardAddress_);
    log_.log(std::string(DoneText), false);
    host_.enableRefreshTimer();
}

std::string RefreshCycle::logIn()
{
    switch (browser_.navigateAndWait(loginAddress(calendarHost_, state_.userId, state_.password), false)) {
    case WaitOutcome::TimedOut: return std::string(TimedOutReason);
    case WaitOutcome::Stopped: return std::string(StoppedReason);
    case WaitOutcome::Loaded: break;
    }
    if (std::string reason = browser_.errorPageReason(); !reason.empty()) return reason;
    const std::optional<std::string> markup = browser_.captureMarkup();
    if (markup && holdsPasswordField(*markup)) return std::string(LogInFormAgainReason);
    return {};
}

void RefreshCycle::processPerson(int index)
{
    // Capture only the page fetched for this person: a grab asked for after this person's fetch
    // was decided must not store whatever page the browser happens to show as theirs.
    const bool fetchedHere = !running_ || fetchedIndex_ == index;
    if (state_.grabPending && fetchedHere) storeFetchedPage(index);
    const std::string page = roster_.dayPageHtml[index];
    PersonStatus status = readDayPage(page, instantOfLocal(state_.nowTime), roster_.leaveTag[index], log_);
    if (page.empty()) status.state = PersonState::Unknown;  // never read
    if (static_cast<std::size_t>(index) < statuses_.size()) statuses_[index] = std::move(status);
}

void RefreshCycle::storeFetchedPage(int index)
{
    if (roster_.fetch.size() < roster_.dayPageHtml.size()) roster_.fetch.resize(roster_.dayPageHtml.size());
    PersonFetch& fetch = roster_.fetch[static_cast<std::size_t>(index)];
    std::string reason;
    // Tried and failed: not tried again in this grab. A lost session or a stop leaves the person
    // to the next refresh of the same grab.
    FetchState after = FetchState::Kept;
    if (fetchOutcome_ == WaitOutcome::TimedOut) {
        reason = TimedOutReason;
        fetchingEnded_ = true;
    } else if (fetchOutcome_ == WaitOutcome::Stopped || browser_.stopped()) {
        reason = StoppedReason;
        after = FetchState::Pending;
        fetchingEnded_ = true;
    } else if (reason = browser_.errorPageReason(); !reason.empty()) {
    } else if (browser_.locationUrl().empty()) {
        reason = NoLocationReason;
    } else if (std::optional<std::string> markup = browser_.captureMarkup(); !markup) {
        reason = browser_.stopped() ? StoppedReason : MarkupNotReadReason;
        if (browser_.stopped()) after = FetchState::Pending;
    } else if (markup->size() > MaxDayPageBytes) {
        reason = std::string(PageTooLargeReason) + std::to_string(markup->size()) + ")";
    } else if (holdsPasswordField(*markup)) {
        reason = SessionLostReason;
        after = FetchState::Pending;
        fetchingEnded_ = true;
    } else {
        roster_.dayPageHtml[index] = std::move(*markup);
        fetch = {FetchState::Fetched, clock_.now()};
        return;
    }
    fetch.state = after;
    noteFailure(reason);
    const std::string kept = fetch.pageTime == 0
                                 ? std::string(NoPageKeptText)
                                 : std::string(KeptPageText) + dateTimeToText(KeptPagePattern, fetch.pageTime);
    log_.log(std::string(PageNotStoredText) + reason + kept, false);
}

void RefreshCycle::noteFailure(const std::string& reason)
{
    if (failure_.empty()) failure_ = reason;
}

void RefreshCycle::finishGrab(DateTime attemptAt, bool grabStillPending)
{
    GrabOutcome& outcome = state_.lastGrab;
    outcome.attemptedAt = attemptAt;
    outcome.failure = failure_;
    outcome.stalePeople.clear();
    bool complete = true, anyFetched = false;
    for (int i = 0; i < roster_.count(); ++i) {
        const FetchState fetched = roster_.fetch[static_cast<std::size_t>(i)].state;
        if (fetched == FetchState::Pending) complete = false;
        if (fetched == FetchState::Fetched)
            anyFetched = true;
        else
            outcome.stalePeople.push_back(roster_.personName[i]);
    }
    outcome.succeeded = complete && outcome.stalePeople.empty() && failure_.empty();
    if (!complete || !grabStillPending) return;
    // The footer's data time moves only when the grab brought at least one page (or there is no
    // one to fetch): a grab that kept every older page refreshed nothing.
    if (anyFetched || roster_.count() == 0) state_.dataTime = state_.grabStartedAt != 0 ? state_.grabStartedAt : attemptAt;
    state_.grabPending = false;
    state_.grabStartedAt = 0;
    for (PersonFetch& fetch : roster_.fetch) fetch.state = FetchState::Pending;
}

bool RefreshCycle::readsWebCalendar() const
{
    // A roster of calendar addresses alone never contacts the web calendar; any other roster
    // (an empty one too) logs in as it always has.
    for (const std::string& itemId : roster_.calendarItemId)
        if (!CalendarSources::isCalendarAddress(itemId)) return true;
    return roster_.count() == 0;
}

void RefreshCycle::publish()
{
    auto snapshot = std::make_shared<BoardSnapshot>();
    snapshot->effectiveNow = instantOfLocal(state_.nowTime);
    if (state_.dataTime != 0) snapshot->dataTime = instantOfLocal(state_.dataTime);
    snapshot->lastGrabOk = state_.lastGrab.succeeded;
    if (state_.lastGrab.attemptedAt != 0) snapshot->lastGrabTime = instantOfLocal(state_.lastGrab.attemptedAt);
    for (int i = 0; i < roster_.count(); ++i) {
        PersonRow row;
        row.name = roster_.personName[i];
        if (static_cast<std::size_t>(i) < statuses_.size()) row.status = statuses_[i];
        if (static_cast<std::size_t>(i) < roster_.fetch.size() && roster_.fetch[i].pageTime != 0)
            row.fetchedAt = instantOfLocal(roster_.fetch[i].pageTime);
        snapshot->people.push_back(std::move(row));
    }
    if (publish_) publish_(std::move(snapshot));
}

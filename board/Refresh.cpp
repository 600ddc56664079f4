#include "board/Refresh.h"

#include <utility>

#include "board/BoardConstants.h"
#include "board/BoardFragment.h"
#include "board/DayPageParser.h"
#include "board/StatusDetail.h"
#include "web/BoardJson.h"
#include "browser/CalendarAddress.h"
#include "text/DateTime.h"

RefreshCycle::RefreshCycle(Roster& roster, BoardState& state, BrowserDriver& browser, LogWriter& log,
                           const Clock& clock, RefreshHost& host, FragmentStore& fragment, std::string calendarHost,
                           std::string boardAddress, CalendarFetchSettings calendarFetch)
    : roster_(roster), state_(state), browser_(browser), log_(log), clock_(clock), host_(host), fragment_(fragment),
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

    // The log-in. The flag is read again for every person below; lastRead keeps the last reading.
    bool lastRead = state_.grabPending;
    if (lastRead) {
        state_.dataTime = clock_.now();
        log_.log(std::string(StartingText), false);
        // The web calendar is contacted only for the people who read it; calendar addresses are
        // fetched together, in parallel, before anyone is processed.
        if (readsWebCalendar()) {
            browser_.navigateAndWait(loginAddress(calendarHost_, state_.userId, state_.password), false);
            log_.log(std::string(LoggedInText), false);
        }
        calendars_.grab(roster_, state_.nowTime, [this] { browser_.runWaitPass(); });
    }

    log_.log(std::string(UpdatingInfoText) + dateTimeToText(UpdatingInfoPattern, state_.nowTime), false);
    for (std::string& status : roster_.statusHtml) status.clear();
    views_.assign(static_cast<std::size_t>(roster_.count()), PersonView{});

    // Each person: fetch while a grab is pending, then parse the cached page.
    for (int i = 0; i < roster_.count(); ++i) {
        fetchedIndex_ = -1;
        if (CalendarSources::isCalendarAddress(roster_.calendarItemId[i])) {
            log_.log(std::string(ProcessingText) + roster_.personName[i], false);
            const bool read = calendars_.compose(roster_, i, state_.nowTime, views_[i]);
            views_[i].state = stateOf(views_[i], read);
            continue;
        }
        lastRead = state_.grabPending;
        if (lastRead) {
            log_.log(std::string(GrabbingPageText) + roster_.personName[i], false);
            browser_.navigateAndWait(dayViewAddress(calendarHost_, dateText, roster_.calendarItemId[i]), true);
            fetchedIndex_ = i;
        }
        log_.log(std::string(ProcessingText) + roster_.personName[i], false);
        processPerson(i);
    }
    fetchedIndex_ = -1;

    // The grab this refresh took up is complete once the last person has been read. It is
    // cleared here rather than after "Done", so that a grab asked for while the board is
    // written (the log call pumps events) is kept for the next refresh instead of being lost.
    if (lastRead) {
        state_.grabPending = false;
        state_.lastGrabOk = true;
        state_.lastGrabTime = clock_.now();
    }
    if (hideTitles_) {
        for (int i = 0; i < roster_.count(); ++i) roster_.statusHtml[i] = hiddenStatusHtml(views_[i]);
    }

    // The new board: served from now on, shown to the operator, and in the window's browser.
    const std::string fragment = buildBoardFragment(roster_, state_.dataTime);
    fragment_.replace(fragment);
    publish();
    host_.showFragment(fragment);
    browser_.navigate(boardAddress_);
    log_.log(std::string(DoneText), false);
    host_.enableRefreshTimer();
}

void RefreshCycle::processPerson(int index)
{
    // Capture only the page fetched for this person: a grab asked for after this person's fetch
    // was decided must not store whatever page the browser happens to show as theirs.
    const bool fetchedHere = !running_ || fetchedIndex_ == index;
    if (state_.grabPending && fetchedHere) {
        if (!browser_.locationUrl().empty()) roster_.dayPageHtml[index] = browser_.documentElementInnerHtml();
    }
    const std::string page = roster_.dayPageHtml[index];
    PersonView* view = static_cast<std::size_t>(index) < views_.size() ? &views_[index] : nullptr;
    parseDayPage(page, state_.nowTime, roster_.leaveTag[index], roster_.statusHtml[index], log_, view);
    if (view) view->state = stateOf(*view, !page.empty());
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
    if (!snapshots_) return;
    BoardSnapshotData data;
    if (state_.dataTime != 0) data.dataTimeUnix = localToUnixSeconds(state_.dataTime);
    data.lastGrabOk = state_.lastGrabOk;
    if (state_.lastGrabTime != 0) data.lastGrabTimeUnix = localToUnixSeconds(state_.lastGrabTime);
    for (int i = 0; i < roster_.count() && static_cast<std::size_t>(i) < views_.size(); ++i) {
        PersonView view = views_[i];
        view.name = roster_.personName[i];
        view.statusHtml = roster_.statusHtml[i];
        data.people.push_back(std::move(view));
    }
    snapshots_->replace(std::move(data));
}

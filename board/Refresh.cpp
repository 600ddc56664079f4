#include "board/Refresh.h"

#include <utility>

#include "board/BoardConstants.h"
#include "board/BoardFragment.h"
#include "board/DayPageParser.h"
#include "browser/CalendarAddress.h"
#include "text/DateTime.h"

RefreshCycle::RefreshCycle(Roster& roster, BoardState& state, BrowserDriver& browser, LogWriter& log,
                           const Clock& clock, RefreshHost& host, FragmentStore& fragment, std::string calendarHost,
                           std::string boardAddress)
    : roster_(roster), state_(state), browser_(browser), log_(log), clock_(clock), host_(host), fragment_(fragment),
      calendarHost_(std::move(calendarHost)), boardAddress_(std::move(boardAddress))
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
        browser_.navigateAndWait(loginAddress(calendarHost_, state_.userId, state_.password), false);
        log_.log(std::string(LoggedInText), false);
    }

    log_.log(std::string(UpdatingInfoText) + dateTimeToText(UpdatingInfoPattern, state_.nowTime), false);
    for (std::string& status : roster_.statusHtml) status.clear();

    // Each person: fetch while a grab is pending, then parse the cached page.
    for (int i = 0; i < roster_.count(); ++i) {
        fetchedIndex_ = -1;
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
    if (lastRead) state_.grabPending = false;

    // The new board: served from now on, shown to the operator, and in the window's browser.
    const std::string fragment = buildBoardFragment(roster_, state_.dataTime);
    fragment_.replace(fragment);
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
    parseDayPage(page, state_.nowTime, roster_.leaveTag[index], roster_.statusHtml[index], log_);
}

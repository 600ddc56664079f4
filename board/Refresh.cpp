#include "board/Refresh.h"

#include <utility>

#include "board/BoardConstants.h"
#include "board/BoardFragment.h"
#include "board/DayPageParser.h"
#include "browser/CalendarAddress.h"
#include "text/DateTime.h"

TRefreshCycle::TRefreshCycle(TRoster& roster, TBoardState& state, TBrowserDriver& browser, TLogWriter& log,
                             const TClock& clock, TRefreshHost& host, std::string calendarHost)
    : roster_(roster), state_(state), browser_(browser), log_(log), clock_(clock), host_(host),
      calendarHost_(std::move(calendarHost))
{
}

void TRefreshCycle::Button1Click()
{
    if (running_) {
        followUp_ = true;
        return;
    }
    do {
        followUp_ = false;
        running_ = true;
        try {
            RunOnce();
        } catch (...) {
            running_ = false;
            followUp_ = false;
            fetchedIndex_ = -1;
            throw;
        }
        running_ = false;
    } while (followUp_);
}

void TRefreshCycle::RunOnce()
{
    // 1. Effective time: the real clock, or the operator's fake time when the box holds any text.
    state_.NowTime = clock_.Now();
    const std::string fakeTime = host_.FakeTimeText();
    if (!fakeTime.empty()) state_.NowTime = TextToDateTime(fakeTime);

    // 2. The day of the addresses, always written with "/" as the calendar server reads it.
    const std::string dateText =
        DateTimeToText(AddressDatePattern, state_.NowTime, TFormatSettings::DayMonthYear());

    // 3. Force grab.
    if (host_.ForceGrabChecked()) {
        host_.SetForceGrabChecked(false);
        state_.GrabPending = true;
    }

    // 4. Log-in. The flag is read again for every person below; lastRead keeps the last reading.
    bool lastRead = state_.GrabPending;
    if (lastRead) {
        state_.DataTime = clock_.Now();
        log_.Log(std::string(StartingText), false);
        browser_.NavigateAndWait(LoginAddress(calendarHost_, state_.UserId, state_.Password), false);
        log_.Log(std::string(LoggedInText), false);
    }

    // 5., 6.
    log_.Log(std::string(UpdatingInfoText) + DateTimeToText(UpdatingInfoPattern, state_.NowTime), false);
    for (std::string& status : roster_.StatusHtml) status.clear();

    // 7. Each person: fetch while a grab is pending, then parse the cached page.
    for (int i = 0; i < roster_.Count(); ++i) {
        fetchedIndex_ = -1;
        lastRead = state_.GrabPending;
        if (lastRead) {
            log_.Log(std::string(GrabbingPageText) + roster_.PersonName[i], false);
            browser_.NavigateAndWait(DayViewAddress(calendarHost_, dateText, roster_.CalendarItemId[i]), true);
            fetchedIndex_ = i;
        }
        log_.Log(std::string(ProcessingText) + roster_.PersonName[i], false);
        ProcessPerson(i);
    }
    fetchedIndex_ = -1;

    // The grab this refresh took up is complete once the last person has been read. It is
    // cleared here rather than after "Done", so that a grab asked for while the board is
    // written (the log call pumps events) is kept for the next refresh instead of being lost.
    if (lastRead) state_.GrabPending = false;

    // 8. - 10., 12.
    host_.SetBoardFragment(BuildBoardFragment(roster_, state_.DataTime));
    browser_.Navigate(std::string(BoardPageAddress));
    log_.Log(std::string(DoneText), false);
    host_.EnableRefreshTimer();
}

void TRefreshCycle::ProcessPerson(int index)
{
    // Capture only the page fetched for this person: a grab asked for after this person's fetch
    // was decided must not store whatever page the browser happens to show as theirs.
    const bool fetchedHere = !running_ || fetchedIndex_ == index;
    if (state_.GrabPending && fetchedHere) {
        if (!browser_.LocationURL().empty()) roster_.DayPageHtml[index] = browser_.DocumentElementInnerHTML();
    }
    const std::string page = roster_.DayPageHtml[index];
    ParseDayPage(page, state_.NowTime, roster_.LeaveTag[index], roster_.StatusHtml[index], log_);
}

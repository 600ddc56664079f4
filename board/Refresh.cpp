#include "board/Refresh.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "board/BoardConstants.h"
#include "text/DateTime.h"

namespace quorvane {

RefreshCycle::RefreshCycle(Roster& roster, BoardState& state, RefreshLinks links)
    : roster_(roster), state_(state), links_(links)
{
}

void RefreshCycle::requestRefresh()
{
    if (running()) {
        again_ = true;
        return;
    }
    begin();
}

void RefreshCycle::stop()
{
    stopped_ = true;
    links_.sources.stop();
}

void RefreshCycle::begin()
{
    if (beforeRun) beforeRun();
    // The effective time: the real clock, or the operator's fake time when the box holds any text.
    const std::string fakeTime = links_.host.fakeTimeText();
    state_.now = instantOfLocal(fakeTime.empty() ? links_.clock.now() : textToDateTime(fakeTime));
    // The operator asked for a grab.
    if (links_.host.forceGrabChecked()) {
        links_.host.setForceGrabChecked(false);
        state_.grabPending = true;
    }
    attemptAt_ = instantOfLocal(links_.clock.now());
    failure_.clear();
    closed_.clear();
    prepareRows();
    // A grab asked for from now on is one more grab, for the next refresh.
    grabbing_ = state_.grabPending && !stopped_;
    if (grabbing_) state_.grabPending = false;
    phase_ = Phase::Opening;
    if (!grabbing_) return startFetching();

    links_.log.log(std::string(StartingText), false);
    // Sources are opened for the people who read them; an empty roster logs in as it always has,
    // unless there is none because its file could not be read (that is said once, at the start).
    std::vector<CalendarSource*> toOpen;
    const bool emptyRosterLogsIn = roster_.empty() && state_.rosterFailure.empty();
    for (const auto& source : links_.sources.all()) {
        const bool readsSomeone = std::any_of(sourceOf_.begin(), sourceOf_.end(),
                                              [&](CalendarSource* s) { return s == source.get(); });
        if (readsSomeone || emptyRosterLogsIn) toOpen.push_back(source.get());
    }
    // Counted one more until every source has been asked: one answering at once ends nothing early.
    waiting_ = static_cast<int>(toOpen.size()) + 1;
    for (CalendarSource* source : toOpen)
        source->open([this, source](const std::string& failure) { opened(source, failure); });
    opened(nullptr, {});
}

void RefreshCycle::prepareRows()
{
    const std::size_t people = roster_.size();
    sourceOf_.assign(people, nullptr);
    for (std::size_t i = 0; i < people; ++i) sourceOf_[i] = links_.sources.sourceFor(roster_[i].itemId);
    composed_.assign(people, false);
    // A row keeps what it showed until it is composed again; a new roster starts from names alone.
    rows_.resize(people);
    for (std::size_t i = 0; i < people; ++i) {
        if (rows_[i].name != roster_[i].name) rows_[i] = PersonRow{roster_[i].name, {}, {}, {}};
    }
}

void RefreshCycle::showCached()
{
    if (running()) return;
    state_.now = instantOfLocal(links_.clock.now());
    prepareRows();
    for (std::size_t i = 0; i < roster_.size(); ++i) composeRow(i);
    links_.output.publish(snapshot());
}

void RefreshCycle::opened(CalendarSource* source, const std::string& failure)
{
    if (!failure.empty()) {
        // The source would only meet failures: it fetches nothing, its people stay pending.
        noteFailure(failure);
        closed_.push_back(source);
    }
    if (--waiting_ == 0) startFetching();
}

void RefreshCycle::startFetching()
{
    phase_ = Phase::Fetching;
    fetchingSince_ = std::chrono::steady_clock::now();
    links_.log.log(std::string(UpdatingInfoText) + dateTimeToText(UpdatingInfoPattern, localOfInstant(state_.now)),
                   false);
    const bool fetching = grabbing_ && !stopped_;
    auto fetchesNow = [&](std::size_t i) {
        CalendarSource* source = sourceOf_[i];
        return fetching && source && roster_[i].fetch == FetchState::Pending &&
               std::find(closed_.begin(), closed_.end(), source) == closed_.end();
    };
    // Everyone not fetched now is composed from the cache at once, in roster order.
    for (std::size_t i = 0; i < roster_.size(); ++i)
        if (!fetchesNow(i)) composePerson(i);

    waiting_ = 1;
    std::vector<std::pair<CalendarSource*, std::vector<std::size_t>>> asks;
    for (const auto& source : links_.sources.all()) {
        std::vector<std::size_t> people;
        for (std::size_t i = 0; i < roster_.size(); ++i)
            if (sourceOf_[i] == source.get() && fetchesNow(i)) people.push_back(i);
        if (!people.empty()) asks.emplace_back(source.get(), std::move(people));
    }
    waiting_ += static_cast<int>(asks.size());
    for (auto& [source, people] : asks) {
        source->fetch(roster_, std::move(people), state_.now,
                      FetchListener{[this](const FetchReport& report) { reported(report); }, [this] { sourceDone(); }});
    }
    sourceDone();
}

void RefreshCycle::reported(const FetchReport& report)
{
    if (report.person >= roster_.size()) return;
    roster_[report.person].fetch = report.after;
    if (!state_.grabStartedAt) state_.grabStartedAt = attemptAt_;
    rows_[report.person].failure = report.failure;
    if (onPersonFetched && report.after != FetchState::Pending && sourceOf_[report.person]) {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - fetchingSince_;
        onPersonFetched(sourceOf_[report.person]->kind(), report.after == FetchState::Fetched, took.count());
    }
    if (!report.failure.empty()) noteFailure(report.failure);
    composePerson(report.person);
}

void RefreshCycle::sourceDone()
{
    if (--waiting_ == 0) finish();
}

void RefreshCycle::composePerson(std::size_t index)
{
    if (composed_[index]) return;
    composed_[index] = true;
    // The program is stopping: the row keeps what it showed rather than hold the exit up.
    if (stopped_) return;
    composeRow(index);
    links_.output.publish(snapshot());
}

void RefreshCycle::composeRow(std::size_t index)
{
    const Person& person = roster_[index];
    PersonRow& row = rows_[index];
    links_.log.log(std::string(ProcessingText) + person.name, false);
    if (CalendarSource* source = sourceOf_[index]) {
        try {
            row.status = source->compose(person, state_.now);
        } catch (const std::exception& error) {
            // This person's cached data does not read: their row keeps what it showed.
            links_.log.error(std::string(PageNotReadText) + person.name + ": " + error.what());
        }
        row.fetchedAt = source->cachedAt(person);
    }
}

void RefreshCycle::finish()
{
    // The people no source got to this time (a time-out, a lost session, a stop ended fetching).
    for (std::size_t i = 0; i < roster_.size(); ++i) composePerson(i);
    if (grabbing_) finishGrab();
    const SharedSnapshot board = snapshot();
    links_.output.publish(board);
    links_.output.refreshEnded(board);
    links_.log.log(std::string(DoneText), false);
    links_.host.enableRefreshTimer();
    phase_ = Phase::Idle;
    if (again_) {
        again_ = false;
        begin();
    }
}

void RefreshCycle::noteFailure(const std::string& reason)
{
    if (failure_.empty()) failure_ = reason;
}

void RefreshCycle::finishGrab()
{
    GrabOutcome& outcome = state_.lastGrab;
    outcome.attemptedAt = attemptAt_;
    outcome.failure = failure_;
    outcome.stalePeople.clear();
    bool complete = true, anyFetched = false;
    for (const Person& person : roster_) {
        if (person.fetch == FetchState::Pending) complete = false;
        if (person.fetch == FetchState::Fetched)
            anyFetched = true;
        else
            outcome.stalePeople.push_back(person.name);
    }
    outcome.succeeded = complete && outcome.stalePeople.empty() && failure_.empty();
    // Data saved by an earlier run stays flagged until a grab has brought everyone's afresh.
    if (outcome.succeeded) state_.restoredFromState = false;
    if (!complete) {
        state_.grabPending = true;  // the grab stays open for the next refresh
        return;
    }
    // The footer's data time moves only when the grab brought at least one calendar (or there is
    // no one to fetch): a grab that kept every older one refreshed nothing.
    if (anyFetched || roster_.empty()) state_.dataTime = state_.grabStartedAt.value_or(attemptAt_);
    state_.grabStartedAt.reset();
    for (Person& person : roster_) person.fetch = FetchState::Pending;
}

SharedSnapshot RefreshCycle::snapshot() const
{
    auto board = std::make_shared<BoardSnapshot>();
    board->effectiveNow = state_.now;
    board->dataTime = state_.dataTime;
    board->lastGrabOk = state_.lastGrab.succeeded;
    board->lastGrabTime = state_.lastGrab.attemptedAt;
    board->people = rows_;
    board->restoredFromState = state_.restoredFromState;
    board->rosterFailure = state_.rosterFailure;
    return board;
}

}  // namespace quorvane

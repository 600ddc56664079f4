#include "board/BoardController.h"

#include <exception>
#include <memory>

#include "board/AddressSource.h"
#include "board/BoardConstants.h"
#include "board/CloudSource.h"
#include "board/DayViewSource.h"
#include "text/Text.h"

namespace quorvane {

BoardController::BoardController(const BoardSettings& settings, std::string boardAddress, BrowserControl& browser,
                                 LogWriter& log, const Clock& clock, RefreshHost& host, PublishSnapshot publish)
    : settings_(settings),
      boardAddress_(std::move(boardAddress)),
      log_(log),
      publish_(std::move(publish)),
      driver_(browser, log, clock),
      refresh_(roster_, state_, RefreshLinks{sources_, *this, host, log, clock}) {
    driver_.setTimeoutSeconds(settings_.pageWaitSeconds);
    // The cloud services and calendar addresses first: the web calendar reads every other item id.
    sources_.add(makeM365Source(settings_.m365, log, clock, settings_.absenceWords));
    sources_.add(makeGoogleSource(settings_.google, log, clock, settings_.absenceWords));
    sources_.add(std::make_unique<AddressSource>(settings_.calendarFetch, log, clock, settings_.absenceWords));
    sources_.add(std::make_unique<DayViewSource>(DayViewSettings{settings_.calendarHost, settings_.calendarHttps},
                                                 driver_, state_, log, clock));
    refresh_.beforeRun = [this] {
        if (!reloaded_) return;
        roster_ = std::move(*reloaded_);
        reloaded_.reset();
        state_.rosterFailure.clear();
        state_.grabPending = true;  // the new roster has no calendars fetched yet
    };
}

void BoardController::publish(const SharedSnapshot& board) {
    board_ = board;
    if (publish_) publish_(board);
}

void BoardController::refreshEnded(const SharedSnapshot&) {
    // The window's browser shows the board's own page.
    if (!driver_.stopped()) driver_.navigate(boardAddress_);
    if (state_.lastGrab.attemptedAt != grabTried_) {
        grabTried_ = state_.lastGrab.attemptedAt;
        if (onGrabTried) onGrabTried();
    }
    if (onRefreshEnded) onRefreshEnded();
}

QJsonObject BoardController::saveState() const
{
    QJsonObject caches;
    for (const auto& source : sources_.all()) {
        const QJsonObject cache = source->saveCache();
        for (auto entry = cache.begin(); entry != cache.end(); ++entry) caches.insert(entry.key(), entry.value());
    }
    QJsonObject saved{{"caches", caches},
                      {"lastGrabSucceeded", state_.lastGrab.succeeded},
                      {"lastGrabFailure", QString::fromStdString(state_.lastGrab.failure)}};
    if (state_.dataTime) saved.insert("dataTime", qint64(unixSeconds(*state_.dataTime)));
    if (state_.lastGrab.attemptedAt) saved.insert("lastGrabAt", qint64(unixSeconds(*state_.lastGrab.attemptedAt)));
    return saved;
}

void BoardController::restoreState(const QJsonObject& saved)
{
    const QJsonObject caches = saved.value("caches").toObject();
    for (const auto& source : sources_.all()) source->restoreCache(caches);
    if (saved.value("dataTime").isDouble()) state_.dataTime = instantOfUnix(saved.value("dataTime").toInteger());
    if (saved.value("lastGrabAt").isDouble())
        state_.lastGrab.attemptedAt = instantOfUnix(saved.value("lastGrabAt").toInteger());
    state_.lastGrab.failure = saved.value("lastGrabFailure").toString().toStdString();
    // Whatever that grab made of it, the data is not current now.
    state_.lastGrab.succeeded = false;
    state_.restoredFromState = true;
    grabTried_ = state_.lastGrab.attemptedAt;
    refresh_.showCached();
}

void BoardController::start(const std::string& userId, const std::string& password) {
    state_.userId = userId;
    state_.password = password;
    state_.grabPending = true;
    // A roster that cannot be read leaves the board running with no one, saying why (in the log
    // and on /readyz), until a SIGHUP reads one: the pages and the health checks stay up.
    try {
        loadRoster(roster_, settings_.rosterFile, &log_);
    } catch (const std::exception& error) {
        state_.rosterFailure = error.what();
        log_.error(std::string(RosterNotReadText) + error.what());
    }
}

void BoardController::reloadRoster() {
    Roster fresh;
    try {
        loadRoster(fresh, settings_.rosterFile, &log_);
        // A file caught while it is being rewritten reads as empty; an empty board until the
        // next SIGHUP is never what was meant, so the current roster stays.
        if (fresh.size() == 0) throw QuorvaneError(std::string(RosterEmptyReason));
    } catch (const std::exception& error) {
        log_.warn(std::string(RosterKeptText) + settings_.rosterFile + ": " + error.what());
        return;
    }
    log_.log(std::string(RosterReloadedText) + settings_.rosterFile + " (" + intToText(static_cast<int>(fresh.size())) + ")",
             false);
    reloaded_ = std::move(fresh);
}

}  // namespace quorvane

#include "board/BoardController.h"

#include <exception>

#include "board/BoardConstants.h"
#include "text/Text.h"

BoardController::BoardController(const BoardSettings& settings, std::string boardAddress, BrowserControl& browser,
                                 LogWriter& log, const Clock& clock, RefreshHost& host, PublishSnapshot publish)
    : settings_(settings),
      log_(log),
      driver_(browser, log, clock, state_.pageLoaded),
      refresh_(roster_, state_, driver_, log, clock, host, std::move(publish), settings_.calendarHost,
               std::move(boardAddress), settings_.calendarFetch) {
    driver_.setTimeoutSeconds(settings_.pageWaitSeconds);
    refresh_.beforeRun = [this] {
        if (!reloaded_) return;
        roster_ = std::move(*reloaded_);
        reloaded_.reset();
        state_.grabPending = true;  // the new roster has no day views yet
    };
    refresh_.setDayViewsOverHttps(settings_.calendarHttps);
}

void BoardController::start(const std::string& userId, const std::string& password) {
    state_.userId = userId;
    state_.password = password;
    state_.pageLoaded = false;
    state_.grabPending = true;
    loadRoster(roster_, settings_.rosterFile, &log_);
}

void BoardController::reloadRoster() {
    Roster fresh;
    try {
        loadRoster(fresh, settings_.rosterFile, &log_);
    } catch (const std::exception& error) {
        log_.log(std::string(RosterKeptText) + settings_.rosterFile + ": " + error.what(), false);
        return;
    }
    log_.log(std::string(RosterReloadedText) + settings_.rosterFile + " (" + intToText(fresh.count()) + ")", false);
    reloaded_ = std::move(fresh);
}

#pragma once
// How far the open grab has come with one person, and when their cached page was fetched. A
// grab may take several refreshes (a hung or logged-out calendar ends a refresh's fetching
// early); each person is fetched once per grab, whichever source reads their calendar.
#include "text/DateTime.h"

enum class FetchState {
    Pending,  // not yet fetched in the open grab
    Fetched,  // fetched in the open grab; the cached page is that one
    Kept,     // tried in the open grab and failed; the older cached page stays until the next grab
};

struct PersonFetch {
    FetchState state = FetchState::Pending;
    DateTime pageTime = 0;  // real time the cached page was fetched; 0: no page yet
};

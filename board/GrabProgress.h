#pragma once

namespace quorvane {

// How far the open grab has come with one person. A grab may take several refreshes (a hung or
// logged-out calendar ends a refresh's fetching early); each person is fetched once per grab,
// whichever source reads their calendar.
enum class FetchState {
    Pending,  // not yet fetched in the open grab
    Fetched,  // fetched in the open grab; the cached calendar data is that one
    Kept,     // tried in the open grab and failed; the older cached data stays until the next grab
};

}  // namespace quorvane

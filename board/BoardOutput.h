#pragma once
// Where the refresh's boards go: every new snapshot (a row composed, the refresh's end), and the
// end of each refresh. The board controller implements it; tests record what arrives.
#include "board/BoardSnapshot.h"

namespace quorvane {

class BoardOutput {
public:
    virtual ~BoardOutput() = default;
    // A new board, served from now on: published as each person's row is composed, so a slow
    // calendar never holds back the others' rows, and once more when the refresh ends.
    virtual void publish(const SharedSnapshot& board) = 0;
    // The refresh has ended with this board (already published).
    virtual void refreshEnded(const SharedSnapshot& board) = 0;
};

}  // namespace quorvane

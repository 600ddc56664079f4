#include "board/BoardFragment.h"

#include "board/BoardConstants.h"
#include "board/StatusCell.h"
#include "text/Instant.h"
#include "webserver/BoardPageText.h"

std::string buildBoardFragment(const BoardSnapshot& board, bool hideTitles)
{
    std::string fragment(TableOpenLine);
    for (const PersonRow& row : board.people) {
        std::string status = hideTitles ? hiddenStatusHtml(row.status) : classicStatusHtml(row.status);
        if (status.empty()) status = EmptyStatus;
        fragment.append(FragmentLineBreak).append(RowOpen).append(row.name);
        fragment.append(RowMiddle).append(status).append(RowClose);
    }
    // Before the first completed grab the footer shows the day number's zero, as it always has.
    const DateTime dataTime = board.dataTime ? localOfInstant(*board.dataTime) : 0;
    fragment.append(FragmentLineBreak).append(TableCloseLine);
    fragment.append(FragmentLineBreak).append(FooterOpen).append(dateTimeToText(FooterPattern, dataTime));
    fragment.append(FooterClose);
    fragment.append(FragmentLineBreak).append(PageCloseLine);
    return fragment;
}

#include "board/BoardFragment.h"

#include "board/BoardConstants.h"

std::string BuildBoardFragment(TRoster& roster, TDateTime dataTime)
{
    std::string fragment(TableOpenLine);
    for (int i = 0; i < roster.Count(); ++i) {
        std::string& status = roster.StatusHtml[i];
        if (status.empty()) status = EmptyStatus;
        fragment.append(FragmentLineBreak).append(RowOpen).append(roster.PersonName[i]);
        fragment.append(RowMiddle).append(status).append(RowClose);
    }
    fragment.append(FragmentLineBreak).append(TableCloseLine);
    fragment.append(FragmentLineBreak).append(FooterOpen).append(DateTimeToText(FooterPattern, dataTime));
    fragment.append(FooterClose);
    fragment.append(FragmentLineBreak).append(PageCloseLine);
    return fragment;
}

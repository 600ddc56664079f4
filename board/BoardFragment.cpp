#include "board/BoardFragment.h"

#include "board/BoardConstants.h"
#include "webserver/BoardPageText.h"

std::string buildBoardFragment(const Roster& roster, DateTime dataTime)
{
    std::string fragment(TableOpenLine);
    for (int i = 0; i < roster.count(); ++i) {
        const std::string_view status =
            roster.statusHtml[i].empty() ? EmptyStatus : std::string_view(roster.statusHtml[i]);
        fragment.append(FragmentLineBreak).append(RowOpen).append(roster.personName[i]);
        fragment.append(RowMiddle).append(status).append(RowClose);
    }
    fragment.append(FragmentLineBreak).append(TableCloseLine);
    fragment.append(FragmentLineBreak).append(FooterOpen).append(dateTimeToText(FooterPattern, dataTime));
    fragment.append(FooterClose);
    fragment.append(FragmentLineBreak).append(PageCloseLine);
    return fragment;
}

#include "board/Roster.h"

#include "text/Strings.h"

void TRoster::Reset()
{
    PersonName.clear();
    CalendarItemId.clear();
    StatusHtml.clear();
    LeaveTag.clear();
    DayPageHtml.clear();
}

void LoadRoster(TRoster& roster, const std::string& fileName)
{
    roster.Reset();
    TStringList lines;
    lines.LoadFromFile(fileName);
    const auto n = static_cast<std::size_t>(lines.Count());
    for (auto* column : {&roster.PersonName, &roster.CalendarItemId, &roster.StatusHtml, &roster.LeaveTag,
                         &roster.DayPageHtml}) {
        column->assign(n, std::string());
    }
    TStringList fields;
    for (int i = 0; i < lines.Count(); ++i) {
        fields.SetCommaText(lines.Get(i));
        // Fetched one by one: a missing field raises with the earlier ones already stored.
        roster.PersonName[i] = fields.Get(NameField);
        roster.CalendarItemId[i] = fields.Get(ItemIdField);
        roster.LeaveTag[i] = fields.Get(LeaveTagField);
    }
}

#include "board/Roster.h"

#include "text/LineList.h"

void Roster::reset()
{
    personName.clear();
    calendarItemId.clear();
    statusHtml.clear();
    leaveTag.clear();
    dayPageHtml.clear();
}

void loadRoster(Roster& roster, const std::string& fileName)
{
    roster.reset();
    StringList lines;
    lines.loadFromFile(fileName);
    const auto n = static_cast<std::size_t>(lines.count());
    for (auto* column : {&roster.personName, &roster.calendarItemId, &roster.statusHtml, &roster.leaveTag,
                         &roster.dayPageHtml}) {
        column->assign(n, std::string());
    }
    StringList fields;
    for (int i = 0; i < lines.count(); ++i) {
        fields.setCommaText(lines.get(i));
        // Fetched one by one: a missing field raises with the earlier ones already stored.
        roster.personName[i] = fields.get(NameField);
        roster.calendarItemId[i] = fields.get(ItemIdField);
        roster.leaveTag[i] = fields.get(LeaveTagField);
    }
}

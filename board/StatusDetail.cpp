#include "board/StatusDetail.h"

#include "board/BoardConstants.h"
#include "board/KeywordMatch.h"
#include "text/Text.h"

std::string plainText(const std::string& html)
{
    std::string text = textReplace(html, LineBreak, LineBreakReplacement, ReplaceAll | IgnoreCase);
    text = textReplace(text, CommaBeforeParen, BlankBeforeParen, ReplaceAll);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            const std::size_t close = text.find('>', i);
            if (close == std::string::npos) break;
            i = close;
            continue;
        }
        if (text[i] == '&') {
            bool decoded = false;
            for (const auto& [entity, character] : HtmlEntities) {
                if (text.compare(i, entity.size(), entity) == 0) {
                    out += character;
                    i += entity.size() - 1;
                    decoded = true;
                    break;
                }
            }
            if (decoded) continue;
        }
        out += text[i];
    }
    return out;
}

bool hasNoSuffixKeyword(const std::string& description)
{
    return containsAny(textLower(description), NoSuffixKeywords);
}

NoteKind noteKindOf(const std::string& text, bool outOfOffice)
{
    const std::string lower = textLower(text);
    if (outOfOffice || textPos(LeaveKeyword, lower) > 0) return NoteKind::Leave;
    if (textPos("holiday", lower) > 0) return NoteKind::Holiday;
    if (textPos("shift", lower) > 0) return NoteKind::Shift;
    if (textPos("late", lower) > 0) return NoteKind::Late;
    if (textPos("earl", lower) > 0) return NoteKind::Early;
    return NoteKind::Other;
}

MeetingView meetingView(const std::string& descriptionHtml, DateTime localEnd, bool showsUntil)
{
    return MeetingView{plainText(descriptionHtml), localToUnixSeconds(localEnd), showsUntil};
}

PersonState stateOf(const PersonView& person, bool everRead)
{
    if (!everRead) return PersonState::Unknown;
    if (!person.meetings.empty()) return PersonState::Meeting;
    for (const NoteView& note : person.notes)
        if (note.kind == NoteKind::Leave) return PersonState::Leave;
    return person.notes.empty() ? PersonState::Free : PersonState::Note;
}

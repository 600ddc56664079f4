#include "board/StatusDetail.h"

#include "board/BoardConstants.h"
#include "board/KeywordMatch.h"
#include "text/Text.h"

namespace quorvane {

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
    if (outOfOffice) return NoteKind::Leave;
    const std::string lower = textLower(text);
    for (const auto& [keyword, kind] : NoteKindKeywords)
        if (contains(lower, keyword)) return kind;
    return NoteKind::Other;
}

PersonState stateOf(const PersonStatus& status)
{
    if (!status.meetings.empty()) return PersonState::Meeting;
    for (const NoteStatus& note : status.notes)
        if (note.kind == NoteKind::Leave) return PersonState::Leave;
    return status.notes.empty() ? PersonState::Free : PersonState::Note;
}

}  // namespace quorvane

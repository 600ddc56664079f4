#include "board/AbsenceWords.h"

#include <QList>
#include <QString>

#include "board/AbsenceWordsText.h"
#include "board/BoardConstants.h"

namespace quorvane {

namespace {

// The form titles and words are compared in: compatibility-composed (a decomposed "é" and a
// composed one alike), case-folded, every run of characters that are neither letters, digits nor
// combining marks one blank, with a blank either side so that a search for " word " finds whole
// words only.
std::string matchingForm(std::string_view text)
{
    const QString folded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                               .normalized(QString::NormalizationForm_KC)
                               .toCaseFolded();
    std::u32string out = U" ";
    for (const char32_t c : folded.toUcs4()) {
        if (QChar::isLetterOrNumber(c) || QChar::isMark(c)) {
            out += c;
        } else if (out.back() != U' ') {
            out += U' ';
        }
    }
    if (out.back() != U' ') out += U' ';
    return QString::fromUcs4(out.data(), static_cast<qsizetype>(out.size())).toStdString();
}

bool holdsAny(const std::string& title, const std::vector<std::string>& words)
{
    for (const std::string& word : words)
        if (title.find(word) != std::string::npos) return true;
    return false;
}

}  // namespace

AbsenceWords::AbsenceWords(std::string_view lines) { add(lines); }

std::shared_ptr<const AbsenceWords> AbsenceWords::builtIn()
{
    static const std::shared_ptr<const AbsenceWords> words = std::make_shared<const AbsenceWords>(AbsenceWordsText);
    return words;
}

std::shared_ptr<const AbsenceWords> AbsenceWords::builtInWith(std::string_view lines)
{
    auto words = std::make_shared<AbsenceWords>(*builtIn());
    words->add(lines);
    return words;
}

void AbsenceWords::add(std::string_view lines)
{
    while (!lines.empty()) {
        const std::size_t end = lines.find('\n');
        std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == AbsenceCommentMark) continue;
        line.remove_prefix(first);
        const bool working = line.starts_with(AbsenceWorkingPrefix);
        if (working) line.remove_prefix(AbsenceWorkingPrefix.size());
        std::string word = matchingForm(line);
        if (word.size() > 2) (working ? working_ : leave_).push_back(std::move(word));  // not blanks alone
    }
}

AbsenceMatch AbsenceWords::match(std::string_view title) const
{
    const std::string form = matchingForm(title);
    if (holdsAny(form, working_)) return AbsenceMatch::Working;
    if (holdsAny(form, leave_)) return AbsenceMatch::Leave;
    return AbsenceMatch::None;
}

}  // namespace quorvane

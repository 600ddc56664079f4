#pragma once
// The words people write for being away or working from home, in the languages of the offices
// (board/AbsenceWords.txt, compiled in), and the match of an entry's title against them.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// What an entry's title says of the person's day.
enum class AbsenceMatch { None, Leave, Working };

class AbsenceWords {
public:
    // A list's text: one word or phrase a line, "home:" before a working-from-home one, lines
    // starting with '#' and blank lines ignored.
    explicit AbsenceWords(std::string_view lines);

    // The compiled-in list, made once.
    static std::shared_ptr<const AbsenceWords> builtIn();
    // The compiled-in list with the lines of a list's text added.
    static std::shared_ptr<const AbsenceWords> builtInWith(std::string_view lines);

    // Working from home when the title holds one of those words, else leave when it holds one of
    // the others: whole words, letter case, Unicode normal form and punctuation aside.
    AbsenceMatch match(std::string_view title) const;
    std::size_t size() const { return leave_.size() + working_.size(); }

private:
    void add(std::string_view lines);

    // Each entry in its matching form: folded, words separated by one blank, a blank either side.
    std::vector<std::string> leave_, working_;
};

}  // namespace quorvane

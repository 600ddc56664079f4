#include "text/LineList.h"

#include "text/TextConstants.h"

namespace quorvane {

namespace {

// Reads a comma text; NUL counts as its end, like the end of the text itself.
class CommaReader {
public:
    explicit CommaReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size() || text_[pos_] == Nul; }
    char current() const { return text_[pos_]; }
    bool isLast() const { return pos_ + 1 >= text_.size() || text_[pos_ + 1] == Nul; }
    void advance() { ++pos_; }

    // Skips characters of code 1 to 32.
    void skipBlanks()
    {
        while (!atEnd() && static_cast<unsigned char>(current()) <= LastBlankCode) {
            ++pos_;
        }
    }

    // After the opening quote: up to the next quote that is not doubled, "" standing for one
    // quote. A missing closing quote makes the field run to the end of the text.
    std::string quotedField()
    {
        std::string field;
        ++pos_;
        while (!atEnd()) {
            if (current() == CommaQuote) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == CommaQuote) {
                    field.push_back(CommaQuote);
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            field.push_back(current());
            ++pos_;
        }
        return field;
    }

    // Up to the first character of code 0 to 32 or a comma.
    std::string plainField()
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) > LastBlankCode &&
               text_[pos_] != CommaSeparator) {
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

void StringList::setCommaText(std::string_view text)
{
    clear();
    CommaReader reader(text);
    reader.skipBlanks();
    while (!reader.atEnd()) {
        add(reader.current() == CommaQuote ? reader.quotedField() : reader.plainField());
        reader.skipBlanks();
        if (!reader.atEnd() && reader.current() == CommaSeparator) {
            if (reader.isLast()) {
                add(std::string());
            }
            reader.advance();
            reader.skipBlanks();
        }
    }
}

}  // namespace quorvane

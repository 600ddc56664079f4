#include "text/Strings.h"

#include "text/TextConstants.h"

namespace {

// Reads a comma text; NUL counts as its end, like the end of the text itself.
class CommaReader {
public:
    explicit CommaReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size() || text_[pos_] == kNul; }
    char Current() const { return text_[pos_]; }
    bool IsLast() const { return pos_ + 1 >= text_.size() || text_[pos_ + 1] == kNul; }
    void Advance() { ++pos_; }

    // Skips characters of code 1 to 32.
    void SkipBlanks()
    {
        while (!AtEnd() && static_cast<unsigned char>(Current()) <= kLastBlankCode) {
            ++pos_;
        }
    }

    // After the opening quote: up to the next quote that is not doubled, "" standing for one
    // quote. A missing closing quote makes the field run to the end of the text.
    std::string QuotedField()
    {
        std::string field;
        ++pos_;
        while (!AtEnd()) {
            if (Current() == kCommaQuote) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == kCommaQuote) {
                    field.push_back(kCommaQuote);
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            field.push_back(Current());
            ++pos_;
        }
        return field;
    }

    // Up to the first character of code 0 to 32 or a comma.
    std::string PlainField()
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) > kLastBlankCode &&
               text_[pos_] != kCommaSeparator) {
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

void TStringList::SetCommaText(std::string_view text)
{
    Clear();
    CommaReader reader(text);
    reader.SkipBlanks();
    while (!reader.AtEnd()) {
        Add(reader.Current() == kCommaQuote ? reader.QuotedField() : reader.PlainField());
        reader.SkipBlanks();
        if (!reader.AtEnd() && reader.Current() == kCommaSeparator) {
            if (reader.IsLast()) {
                Add(std::string());
            }
            reader.Advance();
            reader.SkipBlanks();
        }
    }
}

#pragma once
// A line view over a multi-line text box: every operation reads or edits the box's content, one
// line per text block. Holds no copy of the lines. GUI thread only; nothing here raises.
#include <string>

#include "text/LineList.h"

class QPlainTextEdit;

namespace quorvane {

class TextBoxLines final : public LineList {
public:
    explicit TextBoxLines(QPlainTextEdit& box) : box_(box) {}

    // lines of the box; an empty last line (content ending in a line break, or an empty box)
    // does not count.
    int count() const override;
    // Line index without its break, cut to TextBoxLineReadLimit bytes (never inside a character);
    // empty text for an index that names no line.
    std::string get(int index) const override;
    // Replaces the characters of a line, not its break; -1 names the line holding the cursor.
    void put(int index, const std::string& text) override;
    // Appends a line; returns its index.
    int add(const std::string& text) override;
    // Removes a line with its break; past the last line nothing happens.
    void remove(int index) override;
    // One edit of the box for many lines: a drain of the activity log writes its batch this way.
    void addLines(const std::vector<std::string>& lines) override;
    void deleteFirst(int count) override;
    void clear() override;
    // The whole content, lines joined by CR LF.
    std::string text() const override;
    // Replaces the whole content (CR LF, LF or CR end a line).
    void setText(const std::string& text);

private:
    QPlainTextEdit& box_;
};

}  // namespace quorvane

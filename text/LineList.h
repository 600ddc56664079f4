#pragma once
// Line lists: the abstract LineList, the in-memory StringList with comma text and file loading.
#include <string>
#include <string_view>
#include <vector>

class LineList {
public:
    virtual ~LineList() = default;
    virtual int count() const = 0;
    virtual std::string get(int index) const = 0;
    virtual void put(int index, const std::string& text) = 0;
    virtual int add(const std::string& text) = 0;
    virtual void remove(int index) = 0;
    virtual void clear() = 0;
    // Reading the text: every line followed by CR LF (a text box gives its whole content).
    virtual std::string text() const = 0;

    // Appends lines in order; the same as one Add per line, in one edit where the view can.
    virtual void addLines(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines) add(line);
    }
    // Removes the first count lines (all of them when there are fewer); the same as count
    // calls of remove(0), in one edit where the view can.
    virtual void deleteFirst(int lineCount)
    {
        for (int i = 0; i < lineCount && count() > 0; ++i) remove(0);
    }
};

class StringList : public LineList {
public:
    int count() const override;
    std::string get(int index) const override;  // StringListError "List index out of bounds (%d)"
    void put(int index, const std::string& text) override;
    int add(const std::string& text) override;
    void remove(int index) override;
    void clear() override;
    std::string text() const override;
    void deleteFirst(int count) override;

    // Replaces the contents by the file's lines; FileOpenError "Cannot open file \"%s\". %s" and the
    // list unchanged when the file cannot be opened.
    void loadFromFile(const std::string& fileName);
    // Replaces the contents by the lines of text, cut as loadFromFile cuts a file.
    void setText(std::string_view text);
    // Replaces the contents by the comma-text fields of text.
    void setCommaText(std::string_view text);
    int capacity() const { return capacity_; }

private:
    void checkIndex(int index) const;
    void grow();
    std::string& slot(int index) { return items_[static_cast<std::size_t>(head_ + index)]; }
    const std::string& slot(int index) const { return items_[static_cast<std::size_t>(head_ + index)]; }

    // Entries live in items_[head_, head_ + count_): removing the first entry (the activity
    // log does it for every line once full) only moves head_; the entries are moved down when
    // an Add finds the end of the array taken.
    std::vector<std::string> items_;
    int head_ = 0;
    int count_ = 0;
    int capacity_ = 0;
};

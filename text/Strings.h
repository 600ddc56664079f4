#pragma once
// Line lists: the abstract TStrings, the in-memory TStringList with comma text and file loading.
#include <string>
#include <string_view>
#include <vector>

class TStrings {
public:
    virtual ~TStrings() = default;
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text) = 0;
    virtual int Add(const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Reading the text: every line followed by CR LF (a text box gives its whole content).
    virtual std::string Text() const = 0;

    // Appends lines in order; the same as one Add per line, in one edit where the view can.
    virtual void AddLines(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines) Add(line);
    }
    // Removes the first count lines (all of them when there are fewer); the same as count
    // calls of Delete(0), in one edit where the view can.
    virtual void DeleteFirst(int count)
    {
        for (int i = 0; i < count && Count() > 0; ++i) Delete(0);
    }
};

class TStringList : public TStrings {
public:
    int Count() const override;
    std::string Get(int index) const override;  // EStringListError "List index out of bounds (%d)"
    void Put(int index, const std::string& text) override;
    int Add(const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;
    std::string Text() const override;
    void DeleteFirst(int count) override;

    // First entry equal to text without regard to letter case, or -1.
    int IndexOf(std::string_view text) const;
    // Replaces the contents by the file's lines; EFOpenError "Cannot open file \"%s\". %s" and the
    // list unchanged when the file cannot be opened.
    void LoadFromFile(const std::string& fileName);
    // Replaces the contents by the lines of text, cut as LoadFromFile cuts a file.
    void SetText(std::string_view text);
    // Replaces the contents by the comma-text fields of text.
    void SetCommaText(std::string_view text);
    int Capacity() const { return capacity_; }

private:
    void CheckIndex(int index) const;
    void Grow();
    std::string& Slot(int index) { return items_[static_cast<std::size_t>(head_ + index)]; }
    const std::string& Slot(int index) const { return items_[static_cast<std::size_t>(head_ + index)]; }

    // Entries live in items_[head_, head_ + count_): removing the first entry (the activity
    // log does it for every line once full) only moves head_; the entries are moved down when
    // an Add finds the end of the array taken.
    std::vector<std::string> items_;
    int head_ = 0;
    int count_ = 0;
    int capacity_ = 0;
};

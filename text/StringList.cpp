#include "text/Strings.h"

#include <algorithm>

#include "text/Errors.h"
#include "text/Placeholders.h"
#include "text/Text.h"
#include "text/TextConstants.h"

int TStringList::Count() const
{
    return count_;
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= count_) {
        throw EStringListError(FormatPlaceholders(kListIndexErrorFormat, {IntToText(index)}));
    }
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return Slot(index);
}

void TStringList::Put(int index, const std::string& text)
{
    CheckIndex(index);
    Slot(index) = text;
}

// The entry array grows only when full: by a quarter above 64 entries, by 16 from 9 to 64, by 4
// up to 8, so that adding n lines costs amortised O(n) without over-allocating small lists.
void TStringList::Grow()
{
    int delta = kListSmallGrowth;
    if (capacity_ > kListMediumCapacity) {
        delta = capacity_ / kListLargeGrowthDivisor;
    } else if (capacity_ > kListSmallCapacity) {
        delta = kListMediumGrowth;
    }
    capacity_ += delta;
    items_.resize(static_cast<std::size_t>(capacity_));
}

int TStringList::Add(const std::string& text)
{
    if (head_ + count_ == capacity_ && head_ > 0) {
        // The array's end is taken but its start is free: move the entries down, once per
        // head_ removals, so removing the first entry stays cheap.
        std::move(items_.begin() + head_, items_.begin() + head_ + count_, items_.begin());
        head_ = 0;
    }
    if (count_ == capacity_) {
        Grow();
    }
    Slot(count_) = text;
    return count_++;
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    if (index == 0) {
        DeleteFirst(1);
        return;
    }
    for (int i = index; i + 1 < count_; ++i) {
        Slot(i) = std::move(Slot(i + 1));
    }
    --count_;
    std::string().swap(Slot(count_));  // release the vacated slot
}

void TStringList::DeleteFirst(int count)
{
    if (count <= 0) return;
    if (count > count_) count = count_;
    for (int i = 0; i < count; ++i) std::string().swap(Slot(i));  // release the removed entries
    head_ += count;
    count_ -= count;
    if (count_ == 0) head_ = 0;
}

void TStringList::Clear()
{
    std::vector<std::string>().swap(items_);
    head_ = 0;
    count_ = 0;
    capacity_ = 0;
}

std::string TStringList::Text() const
{
    std::size_t size = 0;
    for (int i = 0; i < count_; ++i) {
        size += Slot(i).size() + kLineBreak.size();
    }
    std::string out;
    out.reserve(size);
    for (int i = 0; i < count_; ++i) {
        out.append(Slot(i));
        out.append(kLineBreak);
    }
    return out;
}

int TStringList::IndexOf(std::string_view text) const
{
    const std::string wanted = TextUpper(text);
    for (int i = 0; i < count_; ++i) {
        const std::string& entry = Slot(i);
        if (entry.size() == wanted.size() && TextUpper(entry) == wanted) {
            return i;
        }
    }
    return -1;
}

void TStringList::SetText(std::string_view text)
{
    Clear();
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] != kNul) {
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != kCR && text[pos] != kLF && text[pos] != kNul) {
            ++pos;
        }
        Add(std::string(text.substr(start, pos - start)));
        if (pos < text.size() && text[pos] == kCR) {
            ++pos;
        }
        if (pos < text.size() && text[pos] == kLF) {
            ++pos;
        }
    }
}

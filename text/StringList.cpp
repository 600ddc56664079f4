#include "text/LineList.h"

#include <algorithm>

#include "text/Errors.h"
#include "text/Placeholders.h"
#include "text/Text.h"
#include "text/TextConstants.h"

int StringList::count() const
{
    return count_;
}

void StringList::checkIndex(int index) const
{
    if (index < 0 || index >= count_) {
        throw StringListError(formatPlaceholders(ListIndexErrorFormat, {intToText(index)}));
    }
}

std::string StringList::get(int index) const
{
    checkIndex(index);
    return slot(index);
}

void StringList::put(int index, const std::string& text)
{
    checkIndex(index);
    slot(index) = text;
}

// The entry array grows only when full: by a quarter above 64 entries, by 16 from 9 to 64, by 4
// up to 8, so that adding n lines costs amortised O(n) without over-allocating small lists.
void StringList::grow()
{
    int delta = ListSmallGrowth;
    if (capacity_ > ListMediumCapacity) {
        delta = capacity_ / ListLargeGrowthDivisor;
    } else if (capacity_ > ListSmallCapacity) {
        delta = ListMediumGrowth;
    }
    capacity_ += delta;
    items_.resize(static_cast<std::size_t>(capacity_));
}

int StringList::add(const std::string& text)
{
    if (head_ + count_ == capacity_ && head_ > 0) {
        // The array's end is taken but its start is free: move the entries down, once per
        // head_ removals, so removing the first entry stays cheap.
        std::move(items_.begin() + head_, items_.begin() + head_ + count_, items_.begin());
        head_ = 0;
    }
    if (count_ == capacity_) {
        grow();
    }
    slot(count_) = text;
    return count_++;
}

void StringList::remove(int index)
{
    checkIndex(index);
    if (index == 0) {
        deleteFirst(1);
        return;
    }
    for (int i = index; i + 1 < count_; ++i) {
        slot(i) = std::move(slot(i + 1));
    }
    --count_;
    std::string().swap(slot(count_));  // release the vacated slot
}

void StringList::deleteFirst(int count)
{
    if (count <= 0) return;
    if (count > count_) count = count_;
    for (int i = 0; i < count; ++i) std::string().swap(slot(i));  // release the removed entries
    head_ += count;
    count_ -= count;
    if (count_ == 0) head_ = 0;
}

void StringList::clear()
{
    std::vector<std::string>().swap(items_);
    head_ = 0;
    count_ = 0;
    capacity_ = 0;
}

std::string StringList::text() const
{
    std::size_t size = 0;
    for (int i = 0; i < count_; ++i) {
        size += slot(i).size() + TextLineBreak.size();
    }
    std::string out;
    out.reserve(size);
    for (int i = 0; i < count_; ++i) {
        out.append(slot(i));
        out.append(TextLineBreak);
    }
    return out;
}

void StringList::setText(std::string_view text)
{
    clear();
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] != Nul) {
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != CR && text[pos] != LF && text[pos] != Nul) {
            ++pos;
        }
        add(std::string(text.substr(start, pos - start)));
        if (pos < text.size() && text[pos] == CR) {
            ++pos;
        }
        if (pos < text.size() && text[pos] == LF) {
            ++pos;
        }
    }
}

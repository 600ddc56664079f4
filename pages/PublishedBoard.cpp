#include "pages/PublishedBoard.h"

#include "pages/ClassicPage.h"

PublishedBoard::PublishedBoard(bool hideTitles)
    : hideTitles_(hideTitles),
      current_(std::make_shared<const PublishedPage>(
          PublishedPage{std::make_shared<const BoardSnapshot>(), std::string()})) {}

void PublishedBoard::publish(SharedSnapshot snapshot)
{
    std::string fragment = classicFragment(*snapshot, hideTitles_);
    replace(std::make_shared<const PublishedPage>(PublishedPage{std::move(snapshot), std::move(fragment)}));
}

void PublishedBoard::editFragment(std::string fragment)
{
    replace(std::make_shared<const PublishedPage>(PublishedPage{current()->snapshot, std::move(fragment)}));
}

std::shared_ptr<const PublishedPage> PublishedBoard::current() const
{
    std::lock_guard lock(mutex_);
    return current_;
}

void PublishedBoard::replace(std::shared_ptr<const PublishedPage> next)
{
    {
        std::lock_guard lock(mutex_);
        current_.swap(next);
    }
    // The old page is freed outside the lock (or by the last reader still holding it).
}

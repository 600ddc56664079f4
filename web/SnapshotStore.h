#pragma once
// The board's data as the connection threads see it: replaced whole by the refresh, read whole
// (a shared, never-changed copy) by every request for board.json.
#include <memory>
#include <mutex>

#include "web/BoardSnapshotData.h"

class SnapshotStore {
public:
    void replace(BoardSnapshotData data)
    {
        auto next = std::make_shared<const BoardSnapshotData>(std::move(data));
        std::lock_guard lock(mutex_);
        data_ = std::move(next);
    }
    std::shared_ptr<const BoardSnapshotData> snapshot() const
    {
        std::lock_guard lock(mutex_);
        return data_;
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const BoardSnapshotData> data_ = std::make_shared<const BoardSnapshotData>();
};

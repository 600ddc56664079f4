#include "webserver/BufferedStream.h"

#include <cstring>

#include "webserver/ServerConstants.h"
#include "webserver/ServerErrors.h"

namespace quorvane {

BufferedStream::BufferedStream(std::unique_ptr<Transport> connection) : connection_(std::move(connection)) {}

bool BufferedStream::fill() {
    // Drop what has been consumed before growing the buffer.
    if (start_ > 0) {
        input_.erase(0, start_);
        start_ = 0;
    }
    // Received into a block on the stack and appended: growing input_ by a whole block first
    // would zero the block on every read (with 32 KiB blocks, a third of a request's instructions).
    char block[ReceiveBlockSize];
    const std::size_t n = connection_->receive(block, sizeof block);
    input_.append(block, n);
    return n > 0;
}

std::string BufferedStream::readLine(std::size_t maxLength) {
    std::size_t searched = 0;  // bytes after start_ already known to hold no LF
    for (;;) {
        const std::size_t available = input_.size() - start_;
        const std::size_t limit = std::min(available, maxLength + 1);
        if (limit > searched) {
            const void* lf = std::memchr(input_.data() + start_ + searched, '\n', limit - searched);
            if (lf != nullptr) {
                const std::size_t length = static_cast<const char*>(lf) - (input_.data() + start_);
                std::size_t kept = length;
                if (kept > 0 && input_[start_ + kept - 1] == '\r') --kept;
                std::string line = input_.substr(start_, kept);
                start_ += length + 1;
                lastLineBytes_ = length + 1;
                return line;
            }
            searched = limit;
        }
        if (available > maxLength) throw LineTooLongError(std::string(MsgMaxLineLength));
        if (!fill()) throw ConnectionClosedError(std::string(MsgClosedGracefully));
    }
}

std::string BufferedStream::readBytes(std::size_t count) {
    while (input_.size() - start_ < count) {
        if (!fill()) throw ConnectionClosedError(std::string(MsgClosedGracefully));
    }
    std::string bytes = input_.substr(start_, count);
    start_ += count;
    return bytes;
}

std::string BufferedStream::readToClose(std::size_t maxBytes) {
    for (;;) {
        if (input_.size() - start_ > maxBytes) throw BodyTooLargeError(std::string(MsgBodyTooLarge));
        if (!fill()) break;
    }
    std::string bytes = input_.substr(start_);
    start_ = input_.size();
    return bytes;
}

void BufferedStream::write(std::string_view text) { output_.append(text); }

void BufferedStream::flush() {
    if (output_.empty()) return;
    std::string pending;
    pending.swap(output_);
    connection_->send(pending);
}

void BufferedStream::close() noexcept {
    output_.clear();  // a response that was not flushed is not sent
    try {
        connection_->close();
    } catch (...) {
    }
}

}  // namespace quorvane

#include "webserver/Transport.h"

#include <algorithm>
#include <cstring>

#include "webserver/ServerConstants.h"
#include "webserver/ServerErrors.h"

namespace quorvane {

MemoryTransport::MemoryTransport(std::string input, std::size_t chunkSize, std::string peerAddress)
    : input_(std::move(input)), chunk_(std::max<std::size_t>(chunkSize, 1)), peer_(std::move(peerAddress)) {}

std::size_t MemoryTransport::receive(char* buffer, std::size_t size) {
    if (closed_) throw SocketError("Socket closed");
    const std::size_t n = std::min({size, chunk_, input_.size() - position_});
    std::memcpy(buffer, input_.data() + position_, n);
    position_ += n;
    return n;
}

void MemoryTransport::send(std::string_view data) {
    if (closed_) throw SocketError("Socket closed");
    output_.append(data);
}

void MemoryTransport::close() { closed_ = true; }

}  // namespace quorvane

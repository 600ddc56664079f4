#include "service/StateFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "service/ServiceConstants.h"
#include "service/ServiceErrors.h"

namespace quorvane {

namespace {

std::string systemReason() { return std::strerror(errno); }

// Closes the descriptor when the scope ends, on every path.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the result (a delayed write error shows here).
    bool close() {
        if (fd_ < 0) return true;  // closed already
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporaryPattern(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".XXXXXX";
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view content) {
    const std::atomic<bool> never{false};
    writeFileAtomically(path, content, never);
}

bool writeFileAtomically(const std::string& path, std::string_view content, const std::atomic<bool>& abandon) {
    const auto fail = [&path](const std::string& step) {
        throw StateError("cannot write " + path + " (" + step + "): " + systemReason());
    };
    std::string temporary = temporaryPattern(path);
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) fail("create a temporary file");
    const auto failRemoving = [&](const std::string& step) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        fail(step);
    };
    const auto abandoned = [&] {
        file.close();
        ::unlink(temporary.c_str());
        return false;
    };
    for (std::string_view rest = content; !rest.empty();) {
        if (abandon) return abandoned();
        const std::string_view piece = rest.substr(0, StateWriteChunkBytes);
        if (!writeAll(file.get(), piece)) failRemoving("write");
        rest.remove_prefix(piece.size());
    }
    if (abandon) return abandoned();
    if (::fsync(file.get()) != 0) failRemoving("fsync");
    if (!file.close()) failRemoving("close");
    if (abandon) return abandoned();
    if (::rename(temporary.c_str(), path.c_str()) != 0) failRemoving("rename");
    // The rename itself is on disk only once the directory is.
    Descriptor directory(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0 || ::fsync(directory.get()) != 0) fail("fsync of the directory");
    return true;
}

FileRead readWholeFile(const std::string& path) {
    FileRead read;
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        read.problem = errno == ENOENT ? FileRead::Problem::Missing : FileRead::Problem::Unreadable;
        read.reason = errno == ENOENT ? "missing" : "unreadable: " + systemReason();
        return read;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            read.problem = FileRead::Problem::Unreadable;
            read.reason = "unreadable: " + systemReason();
            read.content.clear();
            return read;
        }
        read.content.append(buffer, static_cast<std::size_t>(got));
    }
    return read;
}

}  // namespace quorvane

#include "text/LineList.h"

#include "text/Errors.h"
#include "text/Placeholders.h"
#include "text/TextConstants.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

// strerror_r comes in a GNU flavour (returns the text) and an XSI one (fills the buffer); the
// overloads below accept either without caring which one the C library declared.
[[maybe_unused]] const char* errorText(const char* result, const char*) { return result; }
[[maybe_unused]] const char* errorText(int, const char* buffer) { return buffer; }

// The system's description of an error, without trailing blanks, line breaks and full stops.
std::string describeError(int error)
{
    char buffer[256] = {};
    std::string text = errorText(strerror_r(error, buffer, sizeof buffer), buffer);
    while (!text.empty() && ErrorTextTrailers.find(text.back()) != std::string_view::npos) {
        text.pop_back();
    }
    return text;
}

// The name joined to the current directory when it is relative.
std::string fullPath(const std::string& name)
{
    if (!name.empty() && name.front() == PathSeparator) {
        return name;
    }
    std::string cwd(PATH_MAX, '\0');
    while (getcwd(cwd.data(), cwd.size()) == nullptr) {
        if (errno != ERANGE) {
            return name;  // no current directory to join: report the name as given
        }
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    if (cwd.empty() || cwd.back() != PathSeparator) {
        cwd.push_back(PathSeparator);
    }
    return cwd + name;
}

[[noreturn]] void raiseOpenError(const std::string& name, int error)
{
    throw FileOpenError(formatPlaceholders(FileOpenErrorFormat, {fullPath(name), describeError(error)}));
}

// Closes the descriptor on every path out, errors included.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { if (fd_ >= 0) ::close(fd_); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The whole file as one text, bytes as they are.
std::string readWholeFile(const std::string& name)
{
    FileHandle file(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        raiseOpenError(name, errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        raiseOpenError(name, errno);
    }
    // Opening a directory for reading succeeds here; it is no file to load.
    if (S_ISDIR(info.st_mode)) {
        raiseOpenError(name, EISDIR);
    }
    std::string content;
    content.resize(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0);
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size()) {
            // Files that report no size (or grew) are read on until their end.
            content.resize(content.size() + ReadChunk);
        }
        const ssize_t got = ::read(file.get(), content.data() + filled, content.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            raiseOpenError(name, errno);  // a failed read must not pass for a shorter file
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

}  // namespace

void StringList::loadFromFile(const std::string& fileName)
{
    // Read first: on any failure the list keeps what it held.
    setText(readWholeFile(fileName));
}

}  // namespace quorvane

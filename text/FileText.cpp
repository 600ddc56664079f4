#include "text/FileText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quorvane {

FileText readFileText(const std::string& path, std::size_t maxBytes) {
    FileText file;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        file.error = errno;
        return file;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            file.error = errno;
            break;
        }
        file.text.append(buffer, static_cast<std::size_t>(got));
        if (file.text.size() > maxBytes) {
            file.tooLarge = true;
            break;
        }
    }
    close(fd);
    return file;
}

}  // namespace quorvane

// Line cutting of a loaded file over arbitrary bytes: no line holds a line end or a NUL, the
// lines never hold more bytes than the text, and the list's text reads back to the same lines.
// One input in 256 also goes through a real file, to keep loadFromFile and setText in step.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "fuzz/FuzzSupport.h"
#include "text/LineList.h"

using namespace quorvane;

namespace {

void check(const StringList& lines, std::size_t size) {
    std::size_t total = 0;
    for (int i = 0; i < lines.count(); ++i) {
        const std::string line = lines.get(i);
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
        total += line.size();
    }
    if (total > size) std::abort();
}

bool sameLines(const StringList& a, const StringList& b) {
    if (a.count() != b.count()) return false;
    for (int i = 0; i < a.count(); ++i)
        if (a.get(i) != b.get(i)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzzText(data, size);
    StringList lines;
    lines.setText(text);
    check(lines, size);

    // Joined with CR LF and cut again, the lines come back unchanged.
    StringList again;
    again.setText(lines.text());
    if (!sameLines(lines, again)) std::abort();

    if (size > 0 && data[0] == 0xA5) {
        char name[] = "/tmp/quorvane-fuzz-lines-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) return 0;
        const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        StringList loaded;
        if (written) loaded.loadFromFile(name);
        std::remove(name);
        if (written && !sameLines(lines, loaded)) std::abort();
    }
    return 0;
}

// Line cutting of a loaded file over arbitrary bytes: no line holds a line end or a NUL, the
// lines never hold more bytes than the text, and the list's text reads back to the same lines.
// One input in 256 also goes through a real file, to keep LoadFromFile and SetText in step.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "fuzz/FuzzSupport.h"
#include "text/Strings.h"

namespace {

void Check(const TStringList& lines, std::size_t size) {
    std::size_t total = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines.Get(i);
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
        total += line.size();
    }
    if (total > size) std::abort();
}

bool SameLines(const TStringList& a, const TStringList& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a.Get(i) != b.Get(i)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = FuzzText(data, size);
    TStringList lines;
    lines.SetText(text);
    Check(lines, size);

    // Joined with CR LF and cut again, the lines come back unchanged.
    TStringList again;
    again.SetText(lines.Text());
    if (!SameLines(lines, again)) std::abort();

    if (size > 0 && data[0] == 0xA5) {
        char name[] = "/tmp/quorvane-fuzz-lines-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) return 0;
        const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        TStringList loaded;
        if (written) loaded.LoadFromFile(name);
        std::remove(name);
        if (written && !SameLines(lines, loaded)) std::abort();
    }
    return 0;
}

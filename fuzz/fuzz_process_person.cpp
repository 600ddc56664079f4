// The day-page parser over arbitrary pages: one person's day view, read at a fixed moment as the
// refresh reads a cached page. A range or conversion error is the parser's documented answer to
// a page it cannot read (the refresh then fails that person alone); anything else is a fault.
#include <cstdlib>

#include "board/DayPageParser.h"
#include "fuzz/FuzzSupport.h"
#include "text/Errors.h"
#include "text/Instant.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Instant now = instantOfLocal(FuzzNow);
    CountingLog log;
    const std::string page = fuzzText(data, size);
    try {
        readDayPage(page, now, "A Example", log);
    } catch (const RangeError&) {
    } catch (const ConvertError&) {
    }
    return 0;
}

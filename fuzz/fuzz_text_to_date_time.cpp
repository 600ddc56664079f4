// Date-time parsing over arbitrary text, under a regional record chosen by the first byte:
// either a value inside the calendar or the conversion error with the text in its message.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "text/Errors.h"

using namespace quorvane;

namespace {

FormatSettings settingsFor(std::uint8_t choice) {
    FormatSettings formats = FormatSettings::dayMonthYear();
    static const char* const patterns[] = {"dd/MM/yyyy", "M/d/yy", "yyyy-MM-dd", "gg ee"};
    static const char separators[] = {'/', '.', '-', ' '};
    formats.shortDatePattern = patterns[choice & 3];
    formats.dateSep = separators[(choice >> 2) & 3];
    formats.timeSep = (choice & 0x10) ? '.' : ':';
    formats.decimalSep = (choice & 0x20) ? ',' : '.';
    if (choice & 0x40) formats.amDesignator.clear();
    if (choice & 0x80) formats.pmDesignator = "nachm.";
    return formats;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const FormatSettings formats = settingsFor(data[0]);
    const std::string text = fuzzText(data + 1, size - 1);
    try {
        const DateTime value = textToDateTime(text, formats, 2026);
        // 1 January 0001 (day -693593) up to 31 December 9999 23:59:59.999.
        if (!(value >= -693594.0 && value < 2958466.0)) std::abort();
        // Whatever was read formats without fault.
        const std::string shown = dateTimeToText("dd/mmm/yyyy:hh:mm:ss", value, formats);
        if (shown.size() > 256) std::abort();
    } catch (const ConvertError& error) {
        // The message is a C string: it shows the text up to a NUL byte, as a message box would.
        const std::string expected = "'" + text + "' is not a valid date and time";
        if (error.message() != expected.substr(0, expected.find('\0'))) std::abort();
    }
    return 0;
}

// Date-time parsing over arbitrary text, under a regional record chosen by the first byte:
// either a value inside the calendar or the conversion error with the text in its message.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "text/Errors.h"

namespace {

TFormatSettings SettingsFor(std::uint8_t choice) {
    TFormatSettings formats = TFormatSettings::DayMonthYear();
    static const char* const patterns[] = {"dd/MM/yyyy", "M/d/yy", "yyyy-MM-dd", "gg ee"};
    static const char separators[] = {'/', '.', '-', ' '};
    formats.ShortDatePattern = patterns[choice & 3];
    formats.DateSep = separators[(choice >> 2) & 3];
    formats.TimeSep = (choice & 0x10) ? '.' : ':';
    formats.DecimalSep = (choice & 0x20) ? ',' : '.';
    if (choice & 0x40) formats.AmDesignator.clear();
    if (choice & 0x80) formats.PmDesignator = "nachm.";
    return formats;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const TFormatSettings formats = SettingsFor(data[0]);
    const std::string text = FuzzText(data + 1, size - 1);
    try {
        const TDateTime value = TextToDateTime(text, formats, 2026);
        // 1 January 0001 (day -693593) up to 31 December 9999 23:59:59.999.
        if (!(value >= -693594.0 && value < 2958466.0)) std::abort();
        // Whatever was read formats without fault.
        const std::string shown = DateTimeToText("dd/mmm/yyyy:hh:mm:ss", value, formats);
        if (shown.size() > 256) std::abort();
    } catch (const EConvertError& error) {
        // The message is a C string: it shows the text up to a NUL byte, as a message box would.
        const std::string expected = "'" + text + "' is not a valid date and time";
        if (error.Message() != expected.substr(0, expected.find('\0'))) std::abort();
    }
    return 0;
}

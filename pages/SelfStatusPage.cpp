#include "pages/SelfStatusPage.h"

#include <cstdio>

#include "pages/PagesConstants.h"
#include "pages/SelfStatusPageText.h"
#include "text/DateTime.h"
#include "text/HtmlEscape.h"
#include "text/PercentEncoding.h"
#include "text/Utf8.h"

namespace quorvane {

namespace {

// A form value: "+" is a space there, then the %XX escapes.
std::string formValue(std::string_view raw) {
    std::string spaced(raw);
    for (char& c : spaced)
        if (c == '+') c = ' ';
    return percentDecode(spaced);
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The C0 controls, DEL and the C1 controls (U+0080-U+009F): none belongs on a board.
bool holdsControls(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F) return true;
    }
    return false;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

int digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DDTHH:MM" as a local wall time; none when it does not read as one.
std::optional<Instant> localMinute(std::string_view text) {
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':') return std::nullopt;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2);
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    return instantOfLocal(encodeDate(year, month, day) + encodeTime(hour, minute, 0, 0));
}

// Every "{{KEY}}" of the page replaced in one pass, so nothing put in is read for keys again.
std::string fillPage(std::string_view page, const std::pair<std::string_view, std::string>* values, std::size_t count) {
    std::string out;
    out.reserve(page.size() + 256);
    while (!page.empty()) {
        const std::size_t open = page.find("{{");
        out.append(page.substr(0, open));
        if (open == std::string_view::npos) break;
        page.remove_prefix(open);
        bool filled = false;
        for (std::size_t i = 0; i < count && !filled; ++i) {
            if (page.substr(0, values[i].first.size()) != values[i].first) continue;
            out.append(values[i].second);
            page.remove_prefix(values[i].first.size());
            filled = true;
        }
        if (!filled) {
            out.append("{{");
            page.remove_prefix(2);
        }
    }
    return out;
}

}  // namespace

StatusForm readStatusForm(std::string_view body, Instant now) {
    StatusForm form;
    std::string untilText;
    while (!body.empty()) {
        const std::size_t amp = body.find('&');
        const std::string_view field = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp + 1);
        const std::size_t equals = field.find('=');
        const std::string name = formValue(field.substr(0, equals));
        const std::string value = equals == std::string_view::npos ? std::string() : formValue(field.substr(equals + 1));
        if (name == SelfFormText) form.text = value;
        else if (name == SelfFormUntil) untilText = trimmed(value);
        else if (name == SelfFormClear) form.clear = true;
    }
    if (form.clear) {
        form.text.clear();
        return form;
    }
    if (!isValidUtf8(form.text)) {
        form.error = SelfErrorNotText;
        return form;
    }
    if (holdsControls(form.text)) {
        form.error = SelfErrorControls;
        return form;
    }
    form.text = trimmed(form.text);
    if (form.text.empty()) form.error = SelfErrorEmpty;
    else if (characterCount(form.text) > SelfStatusMaxChars) form.error = SelfErrorTooLong;
    if (!form.error.empty() || untilText.empty()) return form;
    form.until = localMinute(untilText);
    if (!form.until) form.error = SelfErrorUntilUnreadable;
    else if (*form.until <= now) form.error = SelfErrorUntilPast;
    return form;
}

std::string ownStatusText(std::string_view text, const std::optional<Instant>& until) {
    std::string out(text);
    if (until) out.append(UntilText).append(dateTimeToText(SelfUntilPattern, localOfInstant(*until)));
    return out;
}

std::string selfStatusPageHtml(std::string_view name, std::string_view statusText, std::string_view error, Instant now) {
    const LocalParts today = localParts(now);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.year, today.month, today.day);
    const std::pair<std::string_view, std::string> values[] = {
        {SelfTodayPlaceholder, date},
        {SelfErrorPlaceholder,
         error.empty() ? std::string() : std::string(SelfErrorOpen) + htmlEscape(error) + std::string(SelfErrorClose)},
        {SelfNowPlaceholder, statusText.empty() ? std::string(SelfNoStatusText) : htmlEscape(statusText)},
        {SelfNamePlaceholder, htmlEscape(sanitizeUtf8(name))},
    };
    return fillPage(SelfStatusPageTemplate, values, std::size(values));
}

}  // namespace quorvane

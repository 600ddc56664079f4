#include "calendar/ZoneResolver.h"

#include <mutex>
#include <string>

#include <QByteArray>
#include <QTimeZone>

#include "calendar/CalendarConstants.h"

namespace {

icaltimezone* systemZone(const std::string& name)
{
    for (std::string_view utc : UtcZoneNames) {
        if (name == utc) return icaltimezone_get_utc_timezone();
    }
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone(name.c_str())) return zone;
    // libical's own prefixed identifiers ("/freeassociation.sourceforge.net/Europe/London").
    return icaltimezone_get_builtin_timezone_from_tzid(name.c_str());
}

}  // namespace

void prepareLibical()
{
    static std::once_flag once;
    std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

icaltimezone* resolveZone(std::string_view tzid, icalcomponent* calendar)
{
    const std::string name(tzid);
    if (calendar != nullptr) {
        if (icaltimezone* zone = icalcomponent_get_timezone(calendar, name.c_str())) return zone;
    }
    if (icaltimezone* zone = systemZone(name)) return zone;
    // Identifiers with a vendor path before the IANA name ("/mozilla.org/20070129_1/Europe/Paris"):
    // try each shorter tail.
    for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
        const std::string tail = name.substr(slash + 1);
        if (tail.find('/') == std::string::npos) break;
        if (icaltimezone* zone = icaltimezone_get_builtin_timezone(tail.c_str())) return zone;
    }
    const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(QByteArray::fromStdString(name));
    if (!iana.isEmpty()) return systemZone(iana.toStdString());
    return nullptr;
}

ZoneCopies::~ZoneCopies()
{
    for (auto& [definition, zone] : byDefinition_) icaltimezone_free(zone, 1);
}

icaltimezone* ZoneCopies::keep(icaltimezone* zone)
{
    icalcomponent* component = icaltimezone_get_component(zone);
    if (component == nullptr) return zone;
    char* text = icalcomponent_as_ical_string(component);
    std::string definition = text != nullptr ? text : "";
    const auto found = byDefinition_.find(definition);
    if (found != byDefinition_.end()) return found->second;
    icaltimezone* copy = icaltimezone_new();
    icalcomponent* clone = icalcomponent_new_clone(component);
    if (icaltimezone_set_component(copy, clone) == 0) {
        icalcomponent_free(clone);
        icaltimezone_free(copy, 1);
        return nullptr;
    }
    byDefinition_.emplace(std::move(definition), copy);
    return copy;
}

icaltimezone* CalendarZones::zone(const std::string& tzid)
{
    const auto found = resolved_.find(tzid);
    if (found != resolved_.end()) return found->second;
    icaltimezone* zone = nullptr;
    if (calendar_ != nullptr) {
        if (icaltimezone* own = icalcomponent_get_timezone(calendar_, tzid.c_str())) zone = copies_.keep(own);
    }
    if (zone == nullptr) zone = resolveZone(tzid, nullptr);
    resolved_.emplace(tzid, zone);
    return zone;
}

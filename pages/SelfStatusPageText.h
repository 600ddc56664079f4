#pragma once
// The own-status page's source file as it was at build time (generated from pages/status.html).
#include <string_view>

namespace quorvane {

extern const std::string_view SelfStatusPageTemplate;

}  // namespace quorvane

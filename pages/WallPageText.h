#pragma once
// The wall page's source file as it was at build time (generated from pages/wall.html).
#include <string_view>

extern const std::string_view WallPageTemplate;

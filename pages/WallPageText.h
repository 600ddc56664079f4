#pragma once
// The wall page's source file and its translation tables as they were at build time (generated
// from pages/wall.html and pages/texts/wall-CODE.json).
#include <string_view>

namespace quorvane {

extern const std::string_view WallPageTemplate;
extern const std::string_view WallTextsEn, WallTextsDe, WallTextsEs, WallTextsFr, WallTextsIt, WallTextsNl,
    WallTextsPl, WallTextsPt, WallTextsSv;

}  // namespace quorvane

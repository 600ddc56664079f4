#include "pages/WallPage.h"

#include <utility>

#include "pages/WallPageText.h"
#include "text/HtmlEscape.h"
#include "text/Utf8.h"

namespace quorvane {

namespace {

struct WallLanguage {
    std::string_view code;
    const std::string_view* texts;
};

// The default language first.
const WallLanguage Languages[] = {
    {"en", &WallTextsEn}, {"de", &WallTextsDe}, {"es", &WallTextsEs}, {"fr", &WallTextsFr}, {"it", &WallTextsIt},
    {"nl", &WallTextsNl}, {"pl", &WallTextsPl}, {"pt", &WallTextsPt}, {"sv", &WallTextsSv},
};

// Replaces every marker in one pass, so that a value holding a marker's text stays as it is.
std::string fillPlaceholders(std::string_view page,
                             std::initializer_list<std::pair<std::string_view, std::string_view>> values)
{
    std::string out;
    out.reserve(page.size() + 8192);
    std::size_t from = 0;
    for (std::size_t at = page.find("{{"); at != std::string_view::npos; at = page.find("{{", at + 1)) {
        for (const auto& [marker, value] : values) {
            if (page.substr(at, marker.size()) != marker) continue;
            out.append(page.substr(from, at - from)).append(value);
            from = at + marker.size();
            at = from - 1;
            break;
        }
    }
    out.append(page.substr(from));
    return out;
}

}  // namespace

std::vector<std::string_view> wallLanguages()
{
    std::vector<std::string_view> codes;
    for (const WallLanguage& language : Languages) codes.push_back(language.code);
    return codes;
}

std::string_view wallTexts(std::string_view language)
{
    for (const WallLanguage& known : Languages)
        if (known.code == language) return *known.texts;
    return {};
}

std::string wallPageHtml(std::string_view title, const WallLook& look)
{
    if (title.empty()) title = DefaultWallTitle;
    std::string_view language = look.language, texts = wallTexts(language);
    if (texts.empty()) language = DefaultWallLanguage, texts = wallTexts(language);
    const std::string settings =
        "{\"clock\":" + std::string(look.clock12 ? "12" : "24") + ",\"texts\":" + std::string(texts) + "}";
    return fillPlaceholders(WallPageTemplate, {{WallTitlePlaceholder, htmlEscape(sanitizeUtf8(title))},
                                               {WallLanguagePlaceholder, language},
                                               {WallThemePlaceholder, look.theme == WallTheme::Light
                                                                          ? LightThemeName
                                                                          : DarkThemeName},
                                               {WallLookPlaceholder, settings}});
}

}  // namespace quorvane

#include "web/WallPage.h"

#include "web/JsonText.h"
#include "web/WallPageText.h"
#include "web/WebConstants.h"

std::string htmlEscape(std::string_view text) {
    std::string out;
    for (const char c : sanitizeUtf8(text)) {
        switch (c) {
            case '&': out.append("&amp;"); break;
            case '<': out.append("&lt;"); break;
            case '>': out.append("&gt;"); break;
            case '"': out.append("&quot;"); break;
            case '\'': out.append("&#39;"); break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string wallPageHtml(std::string_view title) {
    const std::string escaped = htmlEscape(title.empty() ? DefaultWallTitle : title);
    std::string page(WallPageTemplate);
    for (std::size_t at = page.find(WallTitlePlaceholder); at != std::string::npos;
         at = page.find(WallTitlePlaceholder, at + escaped.size()))
        page.replace(at, WallTitlePlaceholder.size(), escaped);
    return page;
}

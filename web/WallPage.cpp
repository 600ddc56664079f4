#include "web/WallPage.h"

#include "text/HtmlEscape.h"

#include "web/JsonText.h"
#include "web/WallPageText.h"
#include "web/WebConstants.h"

std::string wallPageHtml(std::string_view title) {
    const std::string escaped = htmlEscape(sanitizeUtf8(title.empty() ? DefaultWallTitle : title));
    std::string page(WallPageTemplate);
    for (std::size_t at = page.find(WallTitlePlaceholder); at != std::string::npos;
         at = page.find(WallTitlePlaceholder, at + escaped.size()))
        page.replace(at, WallTitlePlaceholder.size(), escaped);
    return page;
}

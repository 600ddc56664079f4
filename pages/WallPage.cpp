#include "pages/WallPage.h"

#include "pages/JsonText.h"
#include "pages/PagesConstants.h"
#include "text/Utf8.h"
#include "pages/WallPageText.h"
#include "text/HtmlEscape.h"

std::string wallPageHtml(std::string_view title)
{
    if (title.empty()) title = DefaultWallTitle;
    const std::string escaped = htmlEscape(sanitizeUtf8(title));
    std::string page(WallPageTemplate);
    for (std::size_t at = page.find(WallTitlePlaceholder); at != std::string::npos;
         at = page.find(WallTitlePlaceholder, at + escaped.size()))
        page.replace(at, WallTitlePlaceholder.size(), escaped);
    return page;
}

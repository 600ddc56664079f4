#include "pages/BoardRequestHandler.h"

#include "pages/BoardJson.h"
#include "pages/ClassicPage.h"
#include "pages/PagesConstants.h"
#include "pages/WallPage.h"

namespace quorvane {

BoardRequestHandler::BoardRequestHandler(const PublishedBoard& board, const Clock& clock, LogWriter& log,
                                         const PageSettings& settings)
    : board_(board), clock_(clock), log_(log), wall_(settings.wall), selfStatus_(settings.selfStatus),
      wallPage_(settings.wall ? wallPageHtml(settings.title, settings.wallLook) : std::string()) {}

void BoardRequestHandler::serve(const HttpRequest& request, HttpResponse& response) const
{
    if (wall_)
        serveWall(request, response);
    else
        serveBoardPage(board_.current()->fragment, clock_, log_, request, response);
}

void BoardRequestHandler::serveWall(const HttpRequest& request, HttpResponse& response) const
{
    if (request.path == WallPagePath) {
        response.bodyText = wallPage_;
        response.contentType = std::string(BoardContentType);
    } else if (request.path == WallDataPath) {
        response.bodyText = buildBoardJson(*board_.current()->snapshot, board_.hidesTitles(), instantOfLocal(clock_.now()),
                                           selfStatus_);
        response.contentType = std::string(JsonContentType);
        response.cacheControl = std::string(NoCache);
    } else {
        response.setStatusCode(404);
        response.bodyText = std::string(NotFoundText);
        response.contentType = std::string(PlainContentType);
    }
    log_.log(boardAccessLine(clock_, request, response), false);
}

}  // namespace quorvane

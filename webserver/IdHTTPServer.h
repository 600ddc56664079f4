#pragma once
// The server component the board window owns: the HTTP server with its properties published.
#include "webserver/IdCustomHTTPServer.h"

class TIdHTTPServer : public TIdCustomHTTPServer {
public:
    // Connection threads call the server's overridable steps until deactivation has waited for
    // them, so the most derived class stops the server before any of its parts go away. A class
    // deriving further does the same in its own destructor.
    ~TIdHTTPServer() override { SetActive(false); }
};

#pragma once
// The server component the board window owns: the HTTP server with its properties published.
#include "webserver/IdCustomHTTPServer.h"

class TIdHTTPServer : public TIdCustomHTTPServer {
public:
    ~TIdHTTPServer() override = default;
};

// The HTTP side of the score server (cpp-httplib): every GET and POST goes to the score service, one log line per
// request, and a stop that lets the requests in flight finish.
#pragma once
#include "server/ScoreService.h"
#include <cstdio>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace ScoreServer {

class HttpFront {
  public:
    HttpFront(ScoreService& service, int threads, std::FILE* log);
    ~HttpFront();
    // The port bound (the one asked for, or a free one for port 0), or -1 when the address cannot be bound.
    int Bind(const std::string& host, int port);
    // Serves until Stop; returns once every request taken has been answered.
    bool Run();
    void Stop();

  private:
    ScoreService& Service;
    std::FILE* Log;
    std::unique_ptr<httplib::Server> Server;
};

} // namespace ScoreServer

// The score service behind cpp-httplib. The query is taken from the raw request target, exactly as the client
// signed it; httplib's own decoded parameters are not used.
#include "server/HttpFront.h"
#include <chrono>
#include <ctime>
#include <httplib.h>

namespace ScoreServer {

namespace {
constexpr std::size_t KeepAliveRequests = 10'000;
constexpr int KeepAliveSeconds = 2; // also bounds how long a stop waits on an idle connection
constexpr int ReadWriteSeconds = 5;
constexpr std::size_t MaxBody = 1 << 20; // an upload's game script; the service refuses past its own limit

using Clock = std::chrono::steady_clock;
thread_local Clock::time_point RequestStart;
thread_local bool RequestTimed = false;

std::string UtcNow() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// A path as the log shows it: a client cannot forge log lines with escaped line breaks, nor flood it.
std::string LoggedPath(const std::string& path) {
    constexpr std::size_t MaxLogged = 200;
    if (path.empty()) return "-"; // a request refused before it could be read
    std::string shown;
    for (char c : path.substr(0, MaxLogged)) shown += (c >= ' ' && c < 127) ? c : '?';
    if (path.size() > MaxLogged) shown += "...";
    return shown;
}
} // namespace

HttpFront::HttpFront(ScoreService& service, int threads, std::FILE* log)
    : Service(service), Log(log), Server(std::make_unique<httplib::Server>()) {
    Server->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<std::size_t>(threads)); };
    Server->set_tcp_nodelay(true); // a reply goes out in two writes: without this, Nagle holds the second 40 ms
    Server->set_keep_alive_max_count(KeepAliveRequests);
    Server->set_keep_alive_timeout(KeepAliveSeconds);
    Server->set_read_timeout(ReadWriteSeconds, 0);
    Server->set_write_timeout(ReadWriteSeconds, 0);
    Server->set_payload_max_length(MaxBody);
    Server->set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        RequestStart = Clock::now();
        RequestTimed = true;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    auto serve = [this](const httplib::Request& request, httplib::Response& response) {
        std::size_t question = request.target.find('?');
        std::string_view query;
        if (question != std::string::npos) query = std::string_view(request.target).substr(question + 1);
        Reply reply = Service.Handle(request.path, query, request.remote_addr, request.body);
        if (!reply.LogNote.empty()) std::fprintf(Log, "%s storage: %s\n", UtcNow().c_str(), reply.LogNote.c_str());
        response.status = reply.Status;
        response.set_content(reply.Body, "text/plain; charset=utf-8");
    };
    Server->Get(".*", serve);
    Server->Post(".*", serve); // an upload: the game's script as the body
    Server->set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) response.set_content("error: bad request\n", "text/plain; charset=utf-8");
    });
    Server->set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        char took[32] = "-";
        if (RequestTimed)
            std::snprintf(took, sizeof took, "%.3fms",
                          std::chrono::duration<double, std::milli>(Clock::now() - RequestStart).count());
        RequestTimed = false;
        // One call per line, so that lines from different threads never interleave.
        std::fprintf(Log, "%s %s %s %s %d %s\n", UtcNow().c_str(), LoggedPath(request.remote_addr).c_str(),
                     LoggedPath(request.method).c_str(), LoggedPath(request.path).c_str(), response.status, took);
    });
}

HttpFront::~HttpFront() = default;

int HttpFront::Bind(const std::string& host, int port) {
    if (port == 0) return Server->bind_to_any_port(host);
    return Server->bind_to_port(host, port) ? port : -1;
}

bool HttpFront::Run() { return Server->listen_after_bind(); }

void HttpFront::Stop() { Server->stop(); }

} // namespace ScoreServer

// A score server inside the test process: answers GETs and POSTs scripted per script name (or per option, before
// the script's own answer), issues tickets for new games, keeps every request it saw, and can hold requests
// unanswered to play a server that has stopped answering.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <httplib.h>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestScoreServer {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    struct Seen {
        std::string Path;   // decoded
        std::string Target; // as it came over the wire
        httplib::Params Params;
        std::string Method;
        std::string Body; // a POST's, as it arrived
        std::string ContentType;
    };

    TestScoreServer() {
        // One request a connection: a connection kept open would hold the server's stop for its keep-alive time.
        Server.set_keep_alive_max_count(1);
        Port = Server.bind_to_any_port("127.0.0.1");
        auto serve = [this](const httplib::Request& request, httplib::Response& response) {
            Handler handler;
            {
                // Kept before the answer goes out, so a test that has its reply has the request too.
                std::lock_guard<std::mutex> lock(Guard);
                Requests.push_back({request.path, request.target, request.params, request.method, request.body,
                                    request.get_header_value("Content-Type")});
                auto option = OptionHandlers.find(request.get_param_value("option"));
                handler = option != OptionHandlers.end() ? option->second : Handlers[request.matches[1]];
            }
            if (handler)
                handler(request, response);
            else
                response.status = 404;
        };
        Server.Get(R"(/(\w+\.php))", serve);
        Server.Post(R"(/(\w+\.php))", serve);
        Thread = std::thread([this] { Server.listen_after_bind(); });
        // Stopping a server that has not begun to listen does nothing, and it would then listen for ever.
        while (!Server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~TestScoreServer() {
        Release();
        Server.stop();
        Thread.join();
    }

    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(Port) + "/"; }

    void On(const std::string& script, Handler handler) {
        std::lock_guard<std::mutex> lock(Guard);
        Handlers[script] = std::move(handler);
    }
    void Answer(const std::string& script, const std::string& body, int status = 200) {
        On(script, [body, status](const httplib::Request&, httplib::Response& response) {
            response.status = status;
            response.set_content(body, "text/plain");
        });
    }
    // Requests of that option, whichever script they ask.
    void OnOption(const std::string& option, Handler handler) {
        std::lock_guard<std::mutex> lock(Guard);
        OptionHandlers[option] = std::move(handler);
    }
    // A request held until the server goes (or a minute has passed).
    Handler Held() {
        return [this](const httplib::Request&, httplib::Response& response) {
            std::unique_lock<std::mutex> lock(HoldGuard);
            Released.wait_for(lock, std::chrono::minutes(1), [this] { return Free; });
            response.set_content("too late\n", "text/plain");
        };
    }
    void Hold(const std::string& script) { On(script, Held()); }
    // Every new game gets the next seed from `firstSeed` on, with the ticket TicketFor(seed).
    void IssueTickets(int firstSeed) {
        NextSeed = firstSeed;
        OnOption("newgame", [this](const httplib::Request&, httplib::Response& response) {
            int seed = NextSeed++;
            response.set_content("seed " + std::to_string(seed) + "\nticket " + TicketFor(seed) + "\n", "text/plain");
        });
    }
    static std::string TicketFor(int seed) { return "Tk_" + std::to_string(seed) + "-x.y~z"; }

    std::vector<Seen> SeenRequests() const {
        std::lock_guard<std::mutex> lock(Guard);
        return Requests;
    }

    int Port = 0;

  private:
    void Release() {
        std::lock_guard<std::mutex> lock(HoldGuard);
        Free = true;
        Released.notify_all();
    }

    httplib::Server Server;
    std::thread Thread;
    mutable std::mutex Guard;
    std::map<std::string, Handler> Handlers;
    std::map<std::string, Handler> OptionHandlers;
    std::atomic<int> NextSeed{0};
    std::vector<Seen> Requests;
    std::mutex HoldGuard;
    std::condition_variable Released;
    bool Free = false;
};

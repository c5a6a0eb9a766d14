// The score service behind libmicrohttpd, with the header and body deadlines its idle time-out cannot keep.
#include "server/EventFront.h"
#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <microhttpd.h>
#include <netdb.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

// The query is taken from the raw request target, exactly as the client signed it. libmicrohttpd's own time-out is
// an idle one (a header line every few seconds keeps it waiting for ever), so the deadlines are kept here: a sweep
// shuts the socket of a connection past its deadline, and libmicrohttpd then closes it as a client that went away.
namespace ScoreServer {

namespace {
constexpr std::size_t ConnectionMemory = 16 * 1024; // request line and headers; the service takes 1 KiB of query
constexpr auto SweepEvery = std::chrono::milliseconds(200);
constexpr auto StopGrace = std::chrono::seconds(5);
constexpr int ListenBacklog = 1024;

using Clock = std::chrono::steady_clock;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

// The log's time stamp, formatted once a second by each thread rather than once a line.
std::string UtcNow() {
    thread_local std::time_t formatted = -1;
    thread_local char text[32];
    std::time_t now = std::time(nullptr);
    if (now != formatted) {
        std::tm utc{};
        gmtime_r(&now, &utc);
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
        formatted = now;
    }
    return text;
}

// A path as the log shows it: a client cannot forge log lines with escaped line breaks, nor flood it.
std::string LoggedPath(const std::string& path) {
    constexpr std::size_t MaxLogged = 200;
    if (path.empty()) return "-";
    std::string shown;
    for (char c : path.substr(0, MaxLogged)) shown += (c >= ' ' && c < 127) ? c : '?';
    if (path.size() > MaxLogged) shown += "...";
    return shown;
}

// One write a line, so that lines from different threads never interleave; straight to the file, so that the
// event loops never queue on the stream's lock while another writes.
void WriteLine(std::FILE* log, const std::string& line) {
    [[maybe_unused]] ssize_t written = write(fileno(log), line.data(), line.size());
}

// An IPv4 client of a server listening on IPv6 arrives as ::ffff:a.b.c.d: written as the IPv4 address it is, so that
// its limits and its prefix are those of that address.
std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "-";
    if (address && address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (address && address->sa_family == AF_INET6) {
        const in6_addr& six = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&six))
            inet_ntop(AF_INET, six.s6_addr + 12, text, sizeof text);
        else
            inet_ntop(AF_INET6, &six, text, sizeof text);
    }
    return text;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

double SteadySeconds() { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); }
} // namespace

std::optional<std::string> CanonicalAddress(std::string_view text) {
    constexpr std::size_t LongestAddress = INET6_ADDRSTRLEN;
    if (text.empty() || text.size() >= LongestAddress) return std::nullopt;
    std::string copy(text);
    sockaddr_in four{};
    sockaddr_in6 six{};
    if (inet_pton(AF_INET, copy.c_str(), &four.sin_addr) == 1) {
        four.sin_family = AF_INET;
        return AddressText(reinterpret_cast<const sockaddr*>(&four));
    }
    if (inet_pton(AF_INET6, copy.c_str(), &six.sin6_addr) == 1) {
        six.sin6_family = AF_INET6;
        return AddressText(reinterpret_cast<const sockaddr*>(&six));
    }
    return std::nullopt;
}

std::string ForwardedBase(const char* host, const char* scheme) {
    constexpr std::size_t LongestHost = 255;
    std::string_view name = host ? host : "";
    std::string_view protocol = scheme ? scheme : "http";
    if (name.empty() || name.size() > LongestHost || (protocol != "http" && protocol != "https")) return {};
    // A host name, an address and a port: nothing that could leave the attribute it is written into.
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':' && c != '[' && c != ']')
            return {};
    return std::string(protocol) + "://" + std::string(name) + "/";
}

std::string ForwardedClient(const std::string& proxy, const char* forwardedFor, const char* realIp,
                            const std::unordered_set<std::string>& trusted) {
    // Read from the right: each proxy appends the address it saw, and only what our own proxies appended is true.
    // Whatever a client wrote itself stands to the left of that.
    if (forwardedFor) {
        std::string_view list = forwardedFor;
        while (!list.empty()) {
            std::size_t comma = list.rfind(',');
            std::string_view last = Trimmed(comma == std::string_view::npos ? list : list.substr(comma + 1));
            list = comma == std::string_view::npos ? std::string_view() : list.substr(0, comma);
            auto address = CanonicalAddress(last);
            if (!address) break; // a hop that names no address: nothing to its left can be trusted
            if (!trusted.count(*address)) return *address;
        }
    }
    if (realIp)
        if (auto address = CanonicalAddress(Trimmed(realIp))) return *address;
    return proxy;
}

// One open connection: what it is waiting for, since when, and its socket for the sweep to shut.
struct EventFront::Watched {
    enum Phase { Headers, Body, Answering };
    int Socket = -1;
    std::string Peer; // the TCP peer, whose connections are counted
    std::atomic<int> Waiting = Headers;
    std::atomic<std::int64_t> SinceMs = NowMs();
    bool Cut = false;
};

// One request, from its first line to its reply.
struct EventFront::Request {
    std::string Target; // as sent, query included
    std::string Method, Path, Address, AcceptEncoding;
    std::string PublicBase; // the site's address as our own proxy named it, for the web pages' link previews
    std::string Body;
    Clock::time_point Start = Clock::now();
    int Status = 0;
    bool HeadersIn = false;
    bool HandedOver = false;
    std::optional<Reply> Ready; // a worker's answer, sent once the connection is resumed
};

// An upload whose answer waits on its check: the connection stays suspended, held by no thread.
struct EventFront::Deferred {
    std::mutex Mutex;
    bool Answered = false;
    MHD_Connection* Connection = nullptr;
    Request* Taken = nullptr;
    Clock::time_point Deadline;
};

namespace {
std::string_view Query(const EventFront::Request& request) {
    std::size_t question = request.Target.find('?');
    if (question == std::string::npos) return {};
    return std::string_view(request.Target).substr(question + 1);
}
} // namespace

struct FrontCallbacks {
    // A new connection, before a byte of it is read: within its address's rate and cap (a proxy has neither).
    static MHD_Result AcceptPolicy(void* self, const sockaddr* address, socklen_t) {
        auto& front = *static_cast<EventFront*>(self);
        std::string peer = AddressText(address);
        if (front.Trusted.count(peer)) return MHD_YES;
        {
            std::lock_guard lock(front.WatchMutex);
            auto open = front.OpenByAddress.find(peer);
            if (open != front.OpenByAddress.end() && open->second >= front.Settings.ConnectionsPerAddress)
                return MHD_NO;
        }
        return front.ConnectionLimiter.Allow(peer, SteadySeconds()) ? MHD_YES : MHD_NO;
    }

    static void ConnectionEvent(void* self, MHD_Connection* connection, void** context,
                                MHD_ConnectionNotificationCode what) {
        auto& front = *static_cast<EventFront*>(self);
        std::lock_guard lock(front.WatchMutex);
        if (what == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* watched = new EventFront::Watched;
            const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            watched->Socket = info ? info->connect_fd : -1;
            info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            watched->Peer = AddressText(info ? info->client_addr : nullptr);
            front.Open.insert(watched);
            *context = watched;
            // Counted once it exists, so that every count is given back; two accepted together past the cap are
            // cut at once, as a client that went away.
            if (!front.Trusted.count(watched->Peer) &&
                ++front.OpenByAddress[watched->Peer] > front.Settings.ConnectionsPerAddress && watched->Socket >= 0) {
                shutdown(watched->Socket, SHUT_RDWR);
                watched->Cut = true;
            }
        } else if (auto* watched = static_cast<EventFront::Watched*>(*context)) {
            // Told before libmicrohttpd closes the socket: the sweep never shuts a number that was reused.
            front.Open.erase(watched);
            auto open = front.OpenByAddress.find(watched->Peer);
            if (open != front.OpenByAddress.end() && --open->second == 0) front.OpenByAddress.erase(open);
            delete watched;
            *context = nullptr;
        }
    }

    static void* RequestStarted(void*, const char* target, MHD_Connection*) {
        auto* request = new EventFront::Request;
        request->Target = target ? target : "";
        return request;
    }

    static MHD_Result Access(void* self, MHD_Connection* connection, const char* path, const char* method, const char*,
                             const char* data, std::size_t* dataSize, void** context) {
        auto& front = *static_cast<EventFront*>(self);
        auto* request = static_cast<EventFront::Request*>(*context);
        if (!request) *context = request = new EventFront::Request;
        if (!request->HeadersIn) {
            request->HeadersIn = true;
            request->Method = method;
            request->Path = path;
            const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            request->Address = AddressText(info ? info->client_addr : nullptr);
            // Behind our own proxy the client is the one it names: every limit and log line is that client's.
            if (front.Trusted.count(request->Address))
                request->Address = ForwardedClient(
                    request->Address, MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-For"),
                    MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Real-IP"), front.Trusted);
            if (front.Trusted.count(AddressText(info ? info->client_addr : nullptr)))
                request->PublicBase =
                    ForwardedBase(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-Host"),
                                  MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-Proto"));
            ++front.InFlight;
            Watch(connection, EventFront::Watched::Body);
            if (const char* accepts = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Accept-Encoding"))
                request->AcceptEncoding = accepts;
            // HEAD is answered as GET is, without the body (libmicrohttpd leaves it out).
            bool isGet = request->Method == MHD_HTTP_METHOD_GET || request->Method == MHD_HTTP_METHOD_HEAD;
            bool isPost = request->Method == MHD_HTTP_METHOD_POST;
            if (!isGet && !isPost)
                return Refuse(connection, *request, MHD_HTTP_METHOD_NOT_ALLOWED, "method not allowed");
            const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
            if (length && std::strtoull(length, nullptr, 10) > MaxRequestBody)
                return Refuse(connection, *request, MHD_HTTP_CONTENT_TOO_LARGE, "body too large");
            // Answered on the next call, once any body is in: a reply queued now would cost the connection its
            // keep-alive, since libmicrohttpd could not tell what follows the headers.
            return MHD_YES;
        }
        if (*dataSize > 0) {
            // A chunked body gives no length up front: past the limit the connection is simply dropped.
            if (request->Body.size() + *dataSize > MaxRequestBody) return MHD_NO;
            request->Body.append(data, *dataSize);
            *dataSize = 0;
            return MHD_YES;
        }
        if (request->Status != 0) return MHD_YES; // answered already
        if (request->Ready) return Send(connection, *request, *request->Ready) ? MHD_YES : MHD_NO;
        if (request->HandedOver) return MHD_YES;
        // A read from memory is answered here on the event loop; what may wait on storage goes to a worker, so
        // that a slow database never holds the loop's other connections.
        if (request->Method != MHD_HTTP_METHOD_POST && front.Service.AnswersFromMemory(request->Path, Query(*request)))
            return front.Answer(connection, *request) ? MHD_YES : MHD_NO;
        if (!front.HandOver(connection, *request))
            return Refuse(connection, *request, MHD_HTTP_SERVICE_UNAVAILABLE, "busy");
        return MHD_YES;
    }

    static void RequestEnded(void* self, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
        auto& front = *static_cast<EventFront*>(self);
        std::unique_ptr<EventFront::Request> request(static_cast<EventFront::Request*>(*context));
        *context = nullptr;
        Watch(connection, EventFront::Watched::Headers); // a kept-alive connection's next request starts now
        if (!request || !request->HeadersIn) return;
        if (request->Status != 0 && front.Settings.LogRequests) {
            char took[32];
            std::snprintf(took, sizeof took, "%.3fms",
                          std::chrono::duration<double, std::milli>(Clock::now() - request->Start).count());
            WriteLine(front.Log, UtcNow() + " " + LoggedPath(request->Address) + " " + LoggedPath(request->Method) +
                                     " " + LoggedPath(request->Path) + " " + std::to_string(request->Status) + " " +
                                     took + "\n");
        }
        // Only a stop waits for the count to reach nothing: the requests never wake anyone else.
        if (--front.InFlight == 0 && front.StopAsked) {
            std::lock_guard lock(front.StateMutex);
            front.StateChanged.notify_all();
        }
    }

    static void Watch(MHD_Connection* connection, EventFront::Watched::Phase phase) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        auto* watched = info ? static_cast<EventFront::Watched*>(info->socket_context) : nullptr;
        if (!watched) return;
        watched->SinceMs = NowMs();
        watched->Waiting = phase;
    }

    static bool Send(MHD_Connection* connection, EventFront::Request& request, const Reply& reply) {
        return Send(connection, request, reply.Status, reply.Body, reply.ContentType, reply.ContentEncoding);
    }

    static bool Send(MHD_Connection* connection, EventFront::Request& request, int status, const std::string& body,
                     const char* contentType = PlainTextType, const char* contentEncoding = nullptr) {
        request.Status = status;
        Watch(connection, EventFront::Watched::Answering);
        MHD_Response* response =
            MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (!response) return false;
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
        if (contentEncoding) {
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_ENCODING, contentEncoding);
            MHD_add_response_header(response, MHD_HTTP_HEADER_VARY, "Accept-Encoding");
        }
        MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(status), response);
        MHD_destroy_response(response);
        return queued == MHD_YES;
    }

    static MHD_Result Refuse(MHD_Connection* connection, EventFront::Request& request, int status, const char* why) {
        return Send(connection, request, status, RefusalAnswer(status, why).Body) ? MHD_YES : MHD_NO;
    }
};

EventFront::EventFront(ScoreService& service, FrontSettings settings, std::FILE* log)
    : Service(service), Settings(settings), Log(log),
      ConnectionLimiter(Settings.ConnectionsPerSecond, Settings.ConnectionBurst) {
    for (const std::string& proxy : Settings.TrustedProxies)
        if (auto address = CanonicalAddress(proxy)) Trusted.insert(*address);
}

EventFront::~EventFront() {
    if (ListenSocket >= 0) close(ListenSocket);
}

Reply EventFront::Compute(Request& request) {
    Reply reply = Service.Handle(request.Path, Query(request), request.Address, request.Body, request.AcceptEncoding,
                                 {}, request.PublicBase);
    if (!reply.LogNote.empty()) WriteLine(Log, UtcNow() + " storage: " + reply.LogNote + "\n");
    return reply;
}

int EventFront::Answer(MHD_Connection* connection, Request& request) {
    Reply reply = Compute(request);
    return FrontCallbacks::Send(connection, request, reply);
}

bool EventFront::HandOver(MHD_Connection* connection, Request& request) {
    std::lock_guard lock(JobMutex);
    if (Jobs.size() >= Settings.MaxWaiting || RefuseJobs) return false;
    request.HandedOver = true;
    FrontCallbacks::Watch(connection, Watched::Answering); // its wait is the server's, not the client's
    // Suspended before a worker can take it, since the worker resumes it.
    MHD_suspend_connection(connection);
    Jobs.push_back({connection, &request});
    JobReady.notify_one();
    return true;
}

void EventFront::Work() {
    for (;;) {
        Job job;
        bool refuse = false;
        {
            std::unique_lock lock(JobMutex);
            JobReady.wait(lock, [&] { return RefuseJobs || !Jobs.empty(); });
            if (Jobs.empty()) return;
            job = Jobs.front();
            Jobs.pop_front();
            refuse = RefuseJobs;
        }
        if (refuse) {
            job.Taken->Ready = RefusalAnswer(MHD_HTTP_SERVICE_UNAVAILABLE, "stopping");
            MHD_resume_connection(job.Connection);
            continue;
        }
        auto waiting = std::make_shared<Deferred>();
        waiting->Connection = job.Connection;
        waiting->Taken = job.Taken;
        waiting->Deadline =
            Clock::now() + std::chrono::milliseconds(static_cast<long long>(Service.VerifyWaitSeconds() * 1000));
        Request& request = *job.Taken;
        Reply reply = Service.Handle(
            request.Path, Query(request), request.Address, request.Body, request.AcceptEncoding,
            [this, waiting](const Reply& outcome) { AnswerDeferred(*waiting, outcome); }, request.PublicBase);
        if (reply.Status == 0) {
            std::lock_guard lock(DeferredMutex);
            Waiting.push_back(waiting);
            continue; // answered later, perhaps already
        }
        if (!reply.LogNote.empty()) WriteLine(Log, UtcNow() + " storage: " + reply.LogNote + "\n");
        request.Ready = std::move(reply);
        MHD_resume_connection(job.Connection);
    }
}

void EventFront::AnswerDeferred(Deferred& waiting, const Reply& reply) {
    std::lock_guard lock(waiting.Mutex);
    if (waiting.Answered) return; // and the request may be gone: touch nothing of it
    waiting.Answered = true;
    if (!reply.LogNote.empty()) WriteLine(Log, UtcNow() + " storage: " + reply.LogNote + "\n");
    waiting.Taken->Ready = reply;
    MHD_resume_connection(waiting.Connection);
}

void EventFront::AnswerLateDeferred(bool all) {
    std::vector<std::shared_ptr<Deferred>> late;
    {
        std::lock_guard lock(DeferredMutex);
        auto now = Clock::now();
        std::erase_if(Waiting, [&](const std::shared_ptr<Deferred>& waiting) {
            if (!all && waiting->Deadline > now) {
                std::lock_guard answered(waiting->Mutex);
                return waiting->Answered;
            }
            late.push_back(waiting);
            return true;
        });
    }
    for (const auto& waiting : late) AnswerDeferred(*waiting, AcceptedAnswer());
}

int EventFront::Bind(const std::string& host, int port) {
    addrinfo hints{}, *found = nullptr;
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int bound = -1;
    int listening = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, 0);
    int on = 1;
    if (listening >= 0 && setsockopt(listening, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
        bind(listening, found->ai_addr, found->ai_addrlen) == 0 && listen(listening, ListenBacklog) == 0) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length);
        bound = ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                                                    : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    }
    freeaddrinfo(found);
    if (bound < 0) {
        if (listening >= 0) close(listening);
        return -1;
    }
    ListenSocket = listening;
    return bound;
}

void EventFront::CutLateConnections() {
    std::int64_t now = NowMs();
    std::int64_t headerMs = Settings.HeaderSeconds * 1000LL, bodyMs = Settings.BodySeconds * 1000LL;
    std::lock_guard lock(WatchMutex);
    for (Watched* watched : Open) {
        int waiting = watched->Waiting;
        std::int64_t limit = waiting == Watched::Headers ? headerMs : waiting == Watched::Body ? bodyMs : -1;
        if (limit < 0 || watched->Cut || now - watched->SinceMs <= limit || watched->Socket < 0) continue;
        shutdown(watched->Socket, SHUT_RDWR);
        watched->Cut = true;
    }
}

bool EventFront::Run() {
    if (ListenSocket < 0) return false;
    MHD_Daemon* daemon = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_TURBO, 0, &FrontCallbacks::AcceptPolicy,
        this, &FrontCallbacks::Access, this, MHD_OPTION_LISTEN_SOCKET, ListenSocket, MHD_OPTION_THREAD_POOL_SIZE,
        static_cast<unsigned>(Settings.Threads), MHD_OPTION_CONNECTION_LIMIT, Settings.MaxConnections,
        MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(Settings.IdleSeconds), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        ConnectionMemory, MHD_OPTION_URI_LOG_CALLBACK, &FrontCallbacks::RequestStarted, this,
        MHD_OPTION_NOTIFY_COMPLETED, &FrontCallbacks::RequestEnded, this, MHD_OPTION_NOTIFY_CONNECTION,
        &FrontCallbacks::ConnectionEvent, this, MHD_OPTION_END);
    if (!daemon) return false;
    for (int i = 0; i < Settings.Workers; ++i) Workers.emplace_back([this] { Work(); });

    std::unique_lock lock(StateMutex);
    while (!StopAsked) {
        StateChanged.wait_for(lock, SweepEvery);
        lock.unlock();
        CutLateConnections();
        AnswerLateDeferred(false);
        lock.lock();
    }
    // Take no more connections (the listening socket is closed, so new ones are refused), then let the requests
    // taken finish, still under their deadlines.
    MHD_socket listening = MHD_quiesce_daemon(daemon);
    if (listening != MHD_INVALID_SOCKET) close(listening);
    ListenSocket = -1;
    AnswerLateDeferred(true); // uploads waiting on checks: accepted now, not at the end of the grace
    auto giveUp = Clock::now() + StopGrace;
    while (InFlight > 0 && Clock::now() < giveUp) {
        StateChanged.wait_for(lock, SweepEvery);
        lock.unlock();
        CutLateConnections();
        AnswerLateDeferred(true);
        lock.lock();
    }
    lock.unlock();
    // Workers finish what they hold (bounded by the database's time-outs) and answer what still waits with 503,
    // resuming every connection they were given before the connections are closed.
    {
        std::lock_guard jobs(JobMutex);
        RefuseJobs = true;
    }
    JobReady.notify_all();
    for (std::thread& worker : Workers) worker.join();
    Workers.clear();
    // Every suspended connection is resumed before the daemon stops: what still waits on a check is accepted (the
    // client's next sync sends the game again should its check not end).
    AnswerLateDeferred(true);
    MHD_stop_daemon(daemon);
    return true;
}

void EventFront::Stop() {
    std::lock_guard lock(StateMutex);
    StopAsked = true;
    StateChanged.notify_all();
}

} // namespace ScoreServer

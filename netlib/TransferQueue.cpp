// The requests in line and the one on the wire, on libcurl's multi interface, and the replies they finish into.
#include "TransferQueue.h"
#include "../core/ScoreProtocol.h"
#include "../core/Version.h" // the game beside it is this version
#include "ReplyBody.h"
#include <algorithm>
#include <curl/curl.h>

namespace Net {

struct TransferQueue::Transfer {
    int Command = 0;
    std::string Url;
    bool Post = false;
    std::string Sent; // the POST body; libcurl reads it from here while the transfer runs
    std::chrono::steady_clock::time_point Deadline;
    CURL* Easy = nullptr;
    curl_slist* Headers = nullptr;
    std::string Body;
    bool TooLarge = false;
};

namespace {
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

constexpr long HttpOk = 200;
constexpr const char* UserAgent = "kestrovar_net/" KESTROVAR_VERSION;

// Stops the transfer as soon as the body outgrows what a reply of ours can be.
std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<TransferQueue::Transfer*>(user);
    std::size_t bytes = size * count;
    if (transfer->Body.size() + bytes > MostReplyBytes) {
        transfer->TooLarge = true;
        return 0;
    }
    transfer->Body.append(data, bytes);
    return bytes;
}

// The request's easy handle, allowed what is left of its time; none when libcurl cannot make one.
CURL* NewRequest(TransferQueue::Transfer& transfer, Milliseconds left) {
    CURL* easy = curl_easy_init();
    if (!easy) return nullptr;
    curl_easy_setopt(easy, CURLOPT_URL, transfer.Url.c_str());
    if (transfer.Post) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, transfer.Sent.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.Sent.size()));
        // No "Expect: 100-continue": a server that never answers it would cost every upload a second.
        transfer.Headers = curl_slist_append(transfer.Headers, "Content-Type: text/plain");
        transfer.Headers = curl_slist_append(transfer.Headers, "Expect:");
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.Headers);
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min(ConnectTimeOut, left).count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(std::min(RequestTimeOut, left).count()));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MostReplyBytes));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    return easy;
}

constexpr std::size_t LongestRefusal = 200; // one line of ours; anything longer is no line of ours

// Why a server that answered said no: the first line of its reply when it is one of ours, "error: busy" for a
// server (or a proxy before it) too busy to say more, and nothing for any other status.
std::string RefusalLine(long status, const std::string& body) {
    if (status == 0 || status == HttpOk) return "";
    std::string line = body.substr(0, body.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bool ours = line.size() > ScoreProtocol::RefusalStart.size() && line.size() <= LongestRefusal &&
                line.starts_with(ScoreProtocol::RefusalStart);
    if (ours) return line;
    bool busy = status == ScoreProtocol::TooManyRequestsStatus || status == ScoreProtocol::UnavailableStatus;
    return std::string(busy ? ScoreProtocol::BusyRefusal : "");
}

void Release(TransferQueue::Transfer& transfer) {
    if (transfer.Easy) curl_easy_cleanup(transfer.Easy);
    transfer.Easy = nullptr;
    curl_slist_free_all(transfer.Headers);
    transfer.Headers = nullptr;
}
} // namespace

TransferQueue::TransferQueue() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURLM* multi = curl_multi_init();
    if (multi) curl_multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, MostConnections);
    Multi = multi;
}

TransferQueue::~TransferQueue() {
    Cancel();
    if (Multi) curl_multi_cleanup(static_cast<CURLM*>(Multi));
    curl_global_cleanup();
}

void TransferQueue::Send(int command, const std::string& url) {
    auto transfer = std::make_unique<Transfer>();
    transfer->Command = command;
    transfer->Url = url;
    Queue(std::move(transfer));
}

void TransferQueue::SendPost(int command, const std::string& url, const std::string& body) {
    if (body.size() > MostRequestBodyBytes) {
        Refused.push_back(command);
        return;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->Command = command;
    transfer->Url = url;
    transfer->Post = true;
    transfer->Sent = body;
    Queue(std::move(transfer));
}

void TransferQueue::Queue(std::unique_ptr<Transfer> transfer) {
    if (InFlight() >= static_cast<int>(MostRequestsInFlight)) {
        Refused.push_back(transfer->Command);
        return;
    }
    transfer->Deadline = Clock::now() + RequestTimeOut;
    Line.push_back(std::move(transfer));
}

int TransferQueue::InFlight() const {
    return (Current ? 1 : 0) + static_cast<int>(Line.size()) + static_cast<int>(Refused.size());
}

// The first request in line goes on the wire. One whose turn comes while the server rests after a time-out, or
// after its own time is up, fails at once, as does one libcurl cannot start; the next in line then has its turn.
void TransferQueue::StartNext() {
    while (!Current && !Line.empty()) {
        std::unique_ptr<Transfer> next = std::move(Line.front());
        Line.pop_front();
        Clock::time_point now = Clock::now();
        auto left = std::chrono::duration_cast<Milliseconds>(next->Deadline - now);
        if (Multi && now >= RestUntil && left.count() > 0) next->Easy = NewRequest(*next, left);
        if (next->Easy && curl_multi_add_handle(static_cast<CURLM*>(Multi), next->Easy) == CURLM_OK) {
            Current = std::move(next);
            return;
        }
        Release(*next);
        Finish(*next, false, std::string());
    }
}

void TransferQueue::Update() {
    // Requests turned away at Send end now, as replies received like any other, so the game's wait sees them.
    for (int command : Refused) {
        Transfer refused;
        refused.Command = command;
        Finish(refused, false, std::string());
    }
    Refused.clear();
    StartNext();
    if (!Current) return;
    CURLM* multi = static_cast<CURLM*>(Multi);
    int running = 0;
    curl_multi_perform(multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg != CURLMSG_DONE || !Current || message->easy_handle != Current->Easy) continue;
        CURLcode result = message->data.result;
        long status = 0;
        curl_easy_getinfo(Current->Easy, CURLINFO_RESPONSE_CODE, &status);
        if (result == CURLE_OPERATION_TIMEDOUT) RestUntil = Clock::now() + RestAfterTimeOut;
        bool whole = result == CURLE_OK && !Current->TooLarge;
        Finish(*Current, whole && status == HttpOk, Current->Body, whole ? status : 0);
        DropCurrent();
    }
    // The next request starts on this call, so a sync's second request loses no poll.
    if (Current) return;
    StartNext();
    if (Current) curl_multi_perform(multi, &running);
}

void TransferQueue::Finish(Transfer& transfer, bool good, const std::string& body, long status) {
    Reply reply;
    reply.Command = transfer.Command;
    reply.State = good && SplitReplyLines(body, reply.Lines) ? ReplyGood : ReplyBad;
    if (reply.State != ReplyGood) reply.Lines.clear();
    std::string why = good ? std::string() : RefusalLine(status, body);
    if (!why.empty()) {
        reply.State = ReplyRefused;
        reply.Lines.push_back(why);
    }
    Waiting.push_back(std::move(reply));
    if (Waiting.size() > MostWaitingReplies) Waiting.pop_front();
}

void TransferQueue::DropCurrent() {
    if (!Current) return;
    if (Current->Easy) curl_multi_remove_handle(static_cast<CURLM*>(Multi), Current->Easy);
    Release(*Current);
    Current.reset();
}

bool TransferQueue::Take(int command, Reply& reply) {
    auto found =
        std::find_if(Waiting.begin(), Waiting.end(), [command](const Reply& r) { return r.Command == command; });
    if (found == Waiting.end()) return false;
    reply = std::move(*found);
    Waiting.erase(found);
    return true;
}

void TransferQueue::Cancel() {
    DropCurrent();
    Line.clear();
    Refused.clear();
    Waiting.clear();
}

void TransferQueue::ForgetTimeOuts() { RestUntil = {}; }

} // namespace Net

// The requests in flight on libcurl's multi interface and the replies they finish into.
#include "TransferQueue.h"
#include "ReplyBody.h"
#include <algorithm>
#include <curl/curl.h>

namespace Net {

struct TransferQueue::Transfer {
    int Command = 0;
    CURL* Easy = nullptr; // none: the request could not start, and fails at the next Update
    std::string Body;
    bool TooLarge = false;
};

namespace {
constexpr long HttpOk = 200;
constexpr const char* UserAgent = "kestrovar_net/1.2";

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

CURL* NewRequest(const std::string& url, TransferQueue::Transfer* transfer) {
    CURL* easy = curl_easy_init();
    if (!easy) return nullptr;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeOut.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(RequestTimeOut.count()));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MostReplyBytes));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer);
    return easy;
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
    bool resting = std::chrono::steady_clock::now() < RestUntil;
    if (Multi && !resting && Transfers.size() < MostRequestsInFlight) {
        if (CURL* easy = NewRequest(url, transfer.get())) {
            if (curl_multi_add_handle(static_cast<CURLM*>(Multi), easy) == CURLM_OK)
                transfer->Easy = easy;
            else
                curl_easy_cleanup(easy);
        }
    }
    Transfers.push_back(std::move(transfer));
}

void TransferQueue::Update() {
    // Requests that never started end now, as replies received like any other, so the game's wait sees them.
    for (std::size_t i = Transfers.size(); i-- > 0;) {
        if (Transfers[i]->Easy) continue;
        Finish(*Transfers[i], false, std::string());
        Transfers.erase(Transfers.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (!Multi) return;
    CURLM* multi = static_cast<CURLM*>(Multi);
    int running = 0;
    curl_multi_perform(multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        CURL* easy = message->easy_handle;
        CURLcode result = message->data.result;
        Transfer* transfer = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &transfer);
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        if (result == CURLE_OPERATION_TIMEDOUT) RestUntil = std::chrono::steady_clock::now() + RestAfterTimeOut;
        if (!transfer) continue;
        Finish(*transfer, result == CURLE_OK && status == HttpOk && !transfer->TooLarge, transfer->Body);
        Remove(transfer);
    }
}

void TransferQueue::Finish(Transfer& transfer, bool good, const std::string& body) {
    Reply reply;
    reply.Command = transfer.Command;
    reply.State = good && SplitReplyLines(body, reply.Lines) ? ReplyGood : ReplyBad;
    if (reply.State != ReplyGood) reply.Lines.clear();
    Waiting.push_back(std::move(reply));
    if (Waiting.size() > MostWaitingReplies) Waiting.pop_front();
}

void TransferQueue::Remove(Transfer* transfer) {
    if (transfer->Easy) {
        curl_multi_remove_handle(static_cast<CURLM*>(Multi), transfer->Easy);
        curl_easy_cleanup(transfer->Easy);
        transfer->Easy = nullptr;
    }
    auto found = std::find_if(Transfers.begin(), Transfers.end(),
                              [transfer](const std::unique_ptr<Transfer>& t) { return t.get() == transfer; });
    if (found != Transfers.end()) Transfers.erase(found);
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
    while (!Transfers.empty()) Remove(Transfers.back().get());
    Waiting.clear();
}

void TransferQueue::ForgetTimeOuts() { RestUntil = {}; }

} // namespace Net

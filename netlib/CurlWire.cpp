// The desktop's wire: the request on it carried by libcurl's multi interface.
#include "../core/Version.h" // the game beside it is this version
#include "ReplyBody.h"
#include "Transfer.h"
#include "TransferQueue.h"
#include <algorithm>
#include <curl/curl.h>

namespace Net {

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
    FinishRefused();
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

void TransferQueue::DropCurrent() {
    if (!Current) return;
    if (Current->Easy) curl_multi_remove_handle(static_cast<CURLM*>(Multi), Current->Easy);
    Release(*Current);
    Current.reset();
}

} // namespace Net

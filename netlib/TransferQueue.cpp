// The requests in line and the replies they finish into, whatever carries them: libcurl on the desktop
// (CurlWire.cpp), the page's fetch in the browser (platform/web/WebWire.cpp).
#include "TransferQueue.h"
#include "../core/ScoreProtocol.h"
#include "ReplyBody.h"
#include "Transfer.h"
#include <algorithm>

namespace Net {

namespace {
constexpr long HttpOk = 200;
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
} // namespace

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
    transfer->Deadline = std::chrono::steady_clock::now() + RequestTimeOut;
    Line.push_back(std::move(transfer));
}

int TransferQueue::InFlight() const {
    return (Current ? 1 : 0) + static_cast<int>(Line.size()) + static_cast<int>(Refused.size());
}

// Requests turned away at Send end now, as replies received like any other, so the game's wait sees them.
void TransferQueue::FinishRefused() {
    for (int command : Refused) {
        Transfer refused;
        refused.Command = command;
        Finish(refused, false, std::string());
    }
    Refused.clear();
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

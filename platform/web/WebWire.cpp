// The browser's wire for the network component: the request on it carried by the page's fetch, to the page's own
// server. The page cannot wait inside a frame, so a fetch only moves on while the browser has its turn between
// frames; each Update looks at it once and never waits.
#include "netlib/ReplyBody.h"
#include "netlib/ServerChoice.h"
#include "netlib/Transfer.h"
#include "netlib/TransferQueue.h"
#include <cstdlib>
#include <emscripten.h>

namespace {
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

constexpr int StillOnItsWay = -1;
// Polls of one fetch while the browser never had a turn: far more than any frames made at once could poll. A game
// that waits in a loop inside one frame (as the desktop may) would wait for ever, since the fetch can only finish
// between frames: past this the request fails, as one the server never answered.
constexpr int MostPollsInOneTurn = 1000;

// The fetches on their way, by number, in Module.kestrovarNet; the time-out aborts one.
EM_JS(int, StartFetch, (const char* url, int post, const char* body, int bodyBytes, int timeOutMs), {
    var net = Module.kestrovarNet || (Module.kestrovarNet = {next : 1, fetches : {}, turn : 0, turnAhead : false});
    var id = net.next++;
    var fetching = {done : false, status : 0, timedOut : false, bytes : null, stop : new AbortController()};
    net.fetches[id] = fetching;
    var init = {method : post ? "POST" : "GET", signal : fetching.stop.signal, cache : "no-store"};
    if (post) {
        init.body = HEAPU8.slice(body, body + bodyBytes);
        init.headers = {"Content-Type" : "text/plain"};
    }
    var timer = setTimeout(
        function() {
            fetching.timedOut = true;
            fetching.stop.abort();
        },
        timeOutMs);
    fetch(UTF8ToString(url), init)
        .then(function(reply) {
            fetching.status = reply.status;
            return reply.arrayBuffer();
        })
        .then(
            function(bytes) { fetching.bytes = new Uint8Array(bytes); }, function() { fetching.bytes = null; })
        .then(function() {
            clearTimeout(timer);
            fetching.done = true;
        });
    return id;
});

// -1 while on its way; 0 when no whole reply came (no connection, aborted, timed out); otherwise the HTTP status.
EM_JS(int, FetchStatus, (int id), {
    var fetching = Module.kestrovarNet.fetches[id];
    if (!fetching.done) return -1;
    return fetching.bytes ? fetching.status : 0;
});

EM_JS(int, FetchTimedOut, (int id), { return Module.kestrovarNet.fetches[id].timedOut ? 1 : 0; });

EM_JS(int, FetchBodyBytes, (int id), { return Module.kestrovarNet.fetches[id].bytes.length; });

EM_JS(void, CopyFetchBody, (int id, char* into), { HEAPU8.set(Module.kestrovarNet.fetches[id].bytes, into); });

// Forgets the fetch, stopping it if it is still on its way.
EM_JS(void, DropFetch, (int id), {
    var fetching = Module.kestrovarNet.fetches[id];
    if (!fetching.done) fetching.stop.abort();
    delete Module.kestrovarNet.fetches[id];
});

// A count that moves on each time the browser has had its turn: the next microtask runs only once the frame's code
// has returned to the browser.
EM_JS(int, BrowserTurn, (), {
    var net = Module.kestrovarNet;
    if (!net.turnAhead) {
        net.turnAhead = true;
        Promise.resolve().then(function() {
            net.turn += 1;
            net.turnAhead = false;
        });
    }
    return net.turn;
});

// The board's root, where the page (at play/) was served from: the same origin, whatever path the site is under.
EM_JS(char*, PageServer, (), {
    var url = new URL("../", location.href).href;
    var bytes = lengthBytesUTF8(url) + 1;
    var text = _malloc(bytes);
    stringToUTF8(url, text, bytes);
    return text;
});

int PolledTurn = -1;
int PollsThisTurn = 0;

// Whether the game has polled the fetch on the wire past all reason without letting the browser have a turn.
bool WaitedOnWithinOneTurn() {
    int turn = BrowserTurn();
    if (turn != PolledTurn) {
        PolledTurn = turn;
        PollsThisTurn = 0;
    }
    return ++PollsThisTurn > MostPollsInOneTurn;
}
} // namespace

namespace Net {

// The page talks to the server that served it, whatever address the game names: a browser lets a page read the
// replies of its own origin only.
std::string ChooseServer(const std::string&) {
    char* url = PageServer();
    std::string server(url);
    std::free(url);
    return server;
}

TransferQueue::TransferQueue() = default;

TransferQueue::~TransferQueue() { Cancel(); }

// The first request in line goes on the wire. One whose turn comes while the server rests after a time-out, or after
// its own time is up, fails at once; the next in line then has its turn. (A fetch has no time limit on connecting
// of its own: the request's whole time bounds it.)
void TransferQueue::StartNext() {
    while (!Current && !Line.empty()) {
        std::unique_ptr<Transfer> next = std::move(Line.front());
        Line.pop_front();
        Clock::time_point now = Clock::now();
        auto left = std::chrono::duration_cast<Milliseconds>(next->Deadline - now);
        if (now >= RestUntil && left.count() > 0) {
            next->Fetch = StartFetch(next->Url.c_str(), next->Post ? 1 : 0, next->Sent.data(),
                                     static_cast<int>(next->Sent.size()), static_cast<int>(left.count()));
            Current = std::move(next);
            PollsThisTurn = 0;
            return;
        }
        Finish(*next, false, std::string());
    }
}

void TransferQueue::Update() {
    FinishRefused();
    StartNext();
    while (Current) {
        int status = FetchStatus(Current->Fetch);
        if (status == StillOnItsWay) {
            if (!WaitedOnWithinOneTurn()) return;
            status = 0;
        }
        if (FetchTimedOut(Current->Fetch)) RestUntil = Clock::now() + RestAfterTimeOut;
        if (status != 0) {
            int bytes = FetchBodyBytes(Current->Fetch);
            Current->TooLarge = static_cast<std::size_t>(bytes) > MostReplyBytes;
            if (!Current->TooLarge) {
                Current->Body.resize(static_cast<std::size_t>(bytes));
                CopyFetchBody(Current->Fetch, Current->Body.data());
            }
        }
        bool whole = status != 0 && !Current->TooLarge;
        Finish(*Current, whole && status == 200, Current->Body, whole ? status : 0);
        DropCurrent();
        // The next request starts on this call, so a sync's second request loses no poll.
        StartNext();
    }
}

void TransferQueue::DropCurrent() {
    if (!Current) return;
    DropFetch(Current->Fetch);
    Current.reset();
}

} // namespace Net

// The replies to the two public reads, the top ten and the version list, kept in memory as the text the game reads,
// and each board's web page beside its list, so that a read never waits on the database.
#pragma once
#include "server/ScoreStore.h"
#include "server/WebPage.h"
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ScoreServer {

// Renewed when this server stores a game (so that it shows at once, even when its check ends after the upload was
// answered), and on an interval for what other servers sharing the database store.
class BoardCache {
  public:
    // renewSeconds: how often every board held is read again; 0 renews only on Changed.
    // watchLinks: the pages link each game to its watch in the browser build (served at play/).
    BoardCache(ScoreStore& store, int depth, double renewSeconds, bool watchLinks = false);
    ~BoardCache();
    // The first count entries of a board, five lines each. The first read of a board goes to the store (and may
    // throw StoreError); afterwards it is answered from memory, even while the store is unavailable.
    std::string TopText(const std::string& board, int count);
    // The web pages of the pages' board (WebPageBoard): its best games, its players and their games. Read from the
    // store as TopText is.
    std::shared_ptr<const BoardPages> Pages(const std::string& board);
    // The first count versions, two lines each.
    std::string VersionText(int count);
    // Whether a read of this board, or of the versions, is answered without the store.
    bool Holds(const std::string& board);
    bool HoldsVersions();
    // A game was stored on this board: read it again now.
    void Changed(const std::string& board);

  private:
    // A reply's text with where each entry ends, so that any shorter list is a prefix of it.
    struct Listing {
        std::string Text;
        std::vector<std::size_t> Ends;
        std::uint64_t Started = 0;               // when its read of the store began, in the cache's count of reads
        std::shared_ptr<const BoardPages> Pages; // the web pages, made for the pages' board only
        std::string Prefix(int count) const;
    };
    std::uint64_t StartRead();
    // Takes fresh in place of held unless held was read later: a renewal that began before a game was stored
    // never hides the game that the read after the store already shows.
    static void Hold(std::shared_ptr<const Listing>& held, std::shared_ptr<const Listing> fresh);
    static bool Worth(const std::string& board, const Listing& listing);
    std::shared_ptr<const Listing> ReadBoard(const std::string& board);
    std::shared_ptr<const Listing> BoardListing(const std::string& board);
    std::shared_ptr<const Listing> ReadVersions();
    void RenewAll();

    ScoreStore& Store;
    int Depth;
    bool WatchLinks;
    std::mutex Mutex;
    std::map<std::string, std::shared_ptr<const Listing>, std::less<>> Boards;
    std::shared_ptr<const Listing> Versions;
    std::uint64_t ReadsStarted = 0;

    std::mutex RenewMutex;
    std::condition_variable RenewWake;
    bool Stopping = false;
    std::thread Renewer;
};

} // namespace ScoreServer

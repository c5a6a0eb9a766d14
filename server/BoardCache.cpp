// The public reads from memory. Each listing is built from the store outside the lock and swapped in whole, so a
// reader never sees half a board and never waits while the store is read.
#include "server/BoardCache.h"
#include "server/WebPage.h"
#include <chrono>

namespace ScoreServer {

namespace {
// Boards are named by the client; past this many, further boards are read from the store each time.
constexpr std::size_t MaxBoardsHeld = 256;

// The line the game's table leaves aside names the game behind the row, for the player to watch it; never an empty
// line, so no reader can lose count.
std::string GameLine(const std::string& gameHash) { return gameHash.empty() ? "-" : gameHash; }
} // namespace

std::string BoardCache::Listing::Prefix(int count) const {
    if (count <= 0 || Ends.empty()) return {};
    std::size_t entries = std::min<std::size_t>(static_cast<std::size_t>(count), Ends.size());
    return Text.substr(0, Ends[entries - 1]);
}

BoardCache::BoardCache(ScoreStore& store, int depth, double renewSeconds, bool watchLinks)
    : Store(store), Depth(depth), WatchLinks(watchLinks) {
    if (renewSeconds <= 0) return;
    Renewer = std::thread([this, renewSeconds] {
        auto every = std::chrono::duration<double>(renewSeconds);
        std::unique_lock lock(RenewMutex);
        while (!RenewWake.wait_for(lock, every, [&] { return Stopping; })) {
            lock.unlock();
            RenewAll();
            lock.lock();
        }
    });
}

BoardCache::~BoardCache() {
    {
        std::lock_guard lock(RenewMutex);
        Stopping = true;
    }
    RenewWake.notify_all();
    if (Renewer.joinable()) Renewer.join();
}

std::uint64_t BoardCache::StartRead() {
    std::lock_guard lock(Mutex);
    return ++ReadsStarted;
}

void BoardCache::Hold(std::shared_ptr<const Listing>& held, std::shared_ptr<const Listing> fresh) {
    if (!held || held->Started < fresh->Started) held = std::move(fresh);
}

std::shared_ptr<const BoardCache::Listing> BoardCache::ReadBoard(const std::string& board) {
    auto listing = std::make_shared<Listing>();
    listing->Started = StartRead();
    // The pages' board is read deeper, for its pages beyond the first hundred; its reply lists no more than others.
    bool paged = board == WebPageBoard;
    std::vector<ScoreEntry> rows = Store.TopScores(board, paged ? std::max(Depth, WebPageDepth) : Depth);
    for (std::size_t i = 0; i < rows.size() && i < static_cast<std::size_t>(Depth); ++i) {
        const ScoreEntry& entry = rows[i];
        listing->Text += entry.Name + "\n" + std::to_string(entry.Level) + "\n" + std::to_string(entry.Score) + "\n" +
                         GameLine(entry.GameHash) + "\n" + entry.Date + "\n";
        listing->Ends.push_back(listing->Text.size());
    }
    // Only the pages' own board needs its pages, with the archived games of older rules: the others' renewals make
    // none.
    if (paged)
        listing->Pages =
            std::make_shared<const BoardPages>(std::move(rows), Store.ArchivedScores(board, WebPageRows), WatchLinks);
    return listing;
}

std::shared_ptr<const BoardCache::Listing> BoardCache::ReadVersions() {
    auto listing = std::make_shared<Listing>();
    listing->Started = StartRead();
    for (const VersionEntry& entry : Store.Versions(Depth)) {
        listing->Text += entry.Product + "\n" + entry.Version + "\n";
        listing->Ends.push_back(listing->Text.size());
    }
    return listing;
}

std::shared_ptr<const BoardCache::Listing> BoardCache::BoardListing(const std::string& board) {
    {
        std::lock_guard lock(Mutex);
        auto found = Boards.find(board);
        if (found != Boards.end()) return found->second;
    }
    auto listing = ReadBoard(board);
    std::lock_guard lock(Mutex);
    if (Worth(board, *listing) && Boards.size() < MaxBoardsHeld) Hold(Boards[board], listing);
    return listing;
}

// Only boards that exist are held (and the page's board, which the root shows even empty): a read of a made-up
// board is answered empty from the store and never takes the place of a real one.
bool BoardCache::Worth(const std::string& board, const Listing& listing) {
    return !listing.Ends.empty() || board == WebPageBoard;
}

std::string BoardCache::TopText(const std::string& board, int count) { return BoardListing(board)->Prefix(count); }

std::shared_ptr<const BoardPages> BoardCache::Pages(const std::string& board) { return BoardListing(board)->Pages; }

std::string BoardCache::VersionText(int count) {
    {
        std::lock_guard lock(Mutex);
        if (Versions) return Versions->Prefix(count);
    }
    auto listing = ReadVersions();
    std::lock_guard lock(Mutex);
    Hold(Versions, listing);
    return listing->Prefix(count);
}

bool BoardCache::Holds(const std::string& board) {
    std::lock_guard lock(Mutex);
    return Boards.count(board) > 0;
}

bool BoardCache::HoldsVersions() {
    std::lock_guard lock(Mutex);
    return Versions != nullptr;
}

void BoardCache::Changed(const std::string& board) {
    try {
        auto listing = ReadBoard(board);
        std::lock_guard lock(Mutex);
        if (Boards.count(board) || (Worth(board, *listing) && Boards.size() < MaxBoardsHeld))
            Hold(Boards[board], listing);
    } catch (const StoreError&) {
        // The score is stored: the board shows it at the next renewal; meanwhile reads keep the listing held.
    }
}

void BoardCache::RenewAll() {
    std::vector<std::string> held;
    {
        std::lock_guard lock(Mutex);
        for (const auto& [board, listing] : Boards) held.push_back(board);
    }
    try {
        auto versions = ReadVersions();
        std::lock_guard lock(Mutex);
        Hold(Versions, versions);
    } catch (const StoreError&) {
        return; // the store is away: keep answering from what is held
    }
    for (const std::string& board : held) {
        try {
            auto listing = ReadBoard(board);
            std::lock_guard lock(Mutex);
            Hold(Boards[board], listing);
        } catch (const StoreError&) {
            return;
        }
    }
}

} // namespace ScoreServer

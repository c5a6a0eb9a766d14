// Picks the storage back end from the database location, and finds the default database file.
#include "server/ScoreStore.h"
#include "server/PostgresStore.h"
#include "server/SqliteStore.h"
#include <cstdlib>
#include <filesystem>

namespace ScoreServer {

bool IsPostgresLocation(const std::string& location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0;
}

std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location, int maxConnections) {
    if (IsPostgresLocation(location)) return std::make_unique<PostgresStore>(location, maxConnections);
    return std::make_unique<SqliteStore>(location);
}

std::string DefaultDatabasePath() {
    namespace fs = std::filesystem;
    fs::path folder;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    // The XDG rule: a relative XDG_DATA_HOME is invalid and ignored.
    if (dataHome && *dataHome == '/')
        folder = fs::path(dataHome) / "kestrovar";
    else if (home && *home)
        folder = fs::path(home) / ".local" / "share" / "kestrovar";
    else
        folder = fs::current_path();
    std::error_code ignored;
    fs::create_directories(folder, ignored); // a failure shows when the database is opened, with its path
    return (folder / "scores.sqlite").string();
}

} // namespace ScoreServer

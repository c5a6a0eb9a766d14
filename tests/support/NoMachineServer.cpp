// The tests talk only to the score servers they start themselves. A server the machine names (the installed game's
// /etc/xdg/kestrovar/score-server.conf), or the developer's own file or variable, would otherwise take every request
// of the game under test: the tests would fail against it, or send their games to a real board.
#include <cstdlib>

namespace {
const bool NoServerButOurs = [] {
    unsetenv("KESTROVAR_SCORE_SERVER");
    // Folders that hold nothing: no player's file, no machine's file.
    setenv("XDG_CONFIG_HOME", "/nonexistent/kestrovar-tests/config", 1);
    setenv("XDG_CONFIG_DIRS", "/nonexistent/kestrovar-tests/xdg", 1);
    return true;
}();
} // namespace

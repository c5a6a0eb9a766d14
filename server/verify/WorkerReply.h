// What a replay-checking worker answers on its standard output, read by the server's verifier pool: one line, either
// the replay's closing line ("end=game-over frame=... score=... level=... hash=...", status 0) or "refused REASON"
// (status 3). Anything else (a crash, a kill) is the server's to name.
#pragma once
#include <string_view>

namespace VerifyWorker {

constexpr std::string_view RefusedMark = "refused ";
constexpr int PlayedStatus = 0;
constexpr int RefusedStatus = 3;

} // namespace VerifyWorker

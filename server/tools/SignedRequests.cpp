// Prints N signed request paths, one a line, each with its own nonce, for the load benchmark to replay:
//   kestrovar_scores_signer COUNT QUERY [KEY]   e.g.  kestrovar_scores_signer 100000 option=getscore&nbscore=10
#include "core/ScoreProtocol.h"
#include "server/RequestSignature.h"
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kestrovar_scores_signer COUNT QUERY [KEY] [SCRIPT]\n");
        return 2;
    }
    long count = std::stol(argv[1]);
    std::string query = argv[2];
    std::string key = argc > 3 ? argv[3] : ScoreServer::GameKey();
    std::string script = argc > 4 ? argv[4] : std::string(ScoreProtocol::ScoresScript);
    auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    std::mt19937_64 random(std::random_device{}());
    for (long i = 0; i < count; ++i) {
        char nonce[17];
        std::snprintf(nonce, sizeof nonce, "%016llx", static_cast<unsigned long long>(random()));
        std::printf("/%s?%s\n", script.c_str(), ScoreServer::SignQuery(key, script, query, now, nonce).c_str());
    }
    return 0;
}

// Keeping every game: the seed and the input as the game read them, written in the replay script format whole or
// not at all, with the line the replay tool ends with when it plays the script, so a kept game can be checked.
#include "KeptGames.h"
#include "Tickets.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "frontend/SettingsFile.h"
#include "game/TheWorld.h"
#include "game/replay/ReplaySetup.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Streams.h"
#include "platform/Text.h"
#include <sstream>

namespace {
struct KeptGame {
    bool On = false;
    bool Ended = false;
    ReplayScript Script;
    int Frames = 0;
    std::string EndLine;
    int HighscoreBefore = 0; // the personal highscore as the game began
};
KeptGame Current;
bool KeepPlayerGames = false; // the player's own games, not the replays and watched games

constexpr std::size_t LongestHeaderLine = 512;
constexpr int HeaderLines = 4;
constexpr std::size_t LongestHeaderNumber = 9;
// Far beyond the longest game a player can keep: a bigger file is not one the game wrote.
constexpr std::size_t MostKeptGameBytes = 16 * 1024 * 1024;
const std::string ScoreMark = "; score=";
const std::string LevelMark = " level=";

std::string KeptBase() {
    std::string path = SettingsPath();
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
    return path;
}

bool WriteWhole(const std::string& path, const std::string& text) {
    std::string fresh = path + ".new";
    Stream* stream = WriteFile(fresh.c_str());
    if (!stream) {
        ReportFileProblem("Kestrovar: game not kept: can't write " + fresh);
        return false;
    }
    WriteBytes(stream, text);
    bool flushed = FlushStream(stream);
    if (!CloseStream(stream) || !flushed || !RenameFile(fresh.c_str(), path.c_str())) {
        DeleteFile(fresh.c_str());
        ReportFileProblem("Kestrovar: game not kept: writing " + path + " failed");
        return false;
    }
    return true;
}

// The number written right after `mark` in a header line; false when there is none.
bool HeaderNumber(const std::string& line, const std::string& mark, int& value) {
    std::size_t at = line.find(mark);
    if (at == std::string::npos) return false;
    std::string digits;
    for (std::size_t i = at + mark.size(); i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) digits += line[i];
    if (digits.empty() || digits.size() > LongestHeaderNumber) return false;
    value = std::stoi(digits);
    return true;
}

// The score and level a kept game's text names in its header.
bool HeaderScore(const std::string& text, int& score, int& level) {
    std::istringstream lines(text);
    std::string line;
    for (int n = 0; n < HeaderLines && std::getline(lines, line); ++n)
        if (line.rfind(ScoreMark, 0) == 0)
            return HeaderNumber(line, ScoreMark, score) && HeaderNumber(line, LevelMark, level);
    return false;
}

std::string ScriptText(const KeptGame& game, const std::string& ending) {
    std::ostringstream text;
    text << "; A game of Kestrovar kept as a replay: \"kestrovar --watch FILE\" shows it again, kestrovar_replay FILE\n"
         << "; plays it headless.\n"
         << ScoreMark << TheWorld.Score << " level=" << TheWorld.Level << " ending=" << ending << "\n";
    if (!game.EndLine.empty()) text << "; " << game.EndLine << "\n";
    WriteReplayScript(text, game.Script);
    return text.str();
}

// The last game moves into the history, the oldest there is dropped, and the new game becomes the last; it is the
// best game too when it made the personal highscore. Only the game-over page raises that, so a game left through
// the exit prompt, however far it got, is never the best: the best game and the best score shown are one game.
void KeepScript(const std::string& text) {
    if (FileExists(LastGamePath().c_str())) {
        DeleteFile(HistoryGamePath(KeptHistoryGames).c_str());
        for (int n = KeptHistoryGames - 1; n >= 1; --n)
            if (FileExists(HistoryGamePath(n).c_str()))
                RenameFile(HistoryGamePath(n).c_str(), HistoryGamePath(n + 1).c_str());
        RenameFile(LastGamePath().c_str(), HistoryGamePath(1).c_str());
    }
    WriteWhole(LastGamePath(), text);
    if (TheSettings.PersonalHighscore > Current.HighscoreBefore) WriteWhole(BestGamePath(), text);
}

void Finish(const char* ending, bool exact) {
    Current.Frames = InputFramesSinceStart();
    if (exact) Current.EndLine = ReplayEndLine(TheWorld, ending, Current.Frames);
    StopInputRecording();
    Current.Ended = true;
}
} // namespace

void BeginKeptGame() {
    Current = KeptGame{};
    Current.On = true;
    Current.HighscoreBefore = TheSettings.PersonalHighscore;
    // The generator's state now is the game's seed, and keeping the game changes nothing in it; a fresh ticket from
    // the server seeds the game instead, and goes with its script to prove where the seed came from.
    Current.Script.Seed = RndSeed();
    int ticketSeed = 0;
    if (TakeFreshTicket(ticketSeed, Current.Script.Ticket)) Current.Script.Seed = ticketSeed;
    TakeReplaySetup(Current.Script);
    Current.Script.Rules = RulesVersion; // the rules this build plays: the server replays the game under them
    SeedRnd(Current.Script.Seed);
    StartInputRecording();
}

void KeptGameFrameShown(const World& w) {
    if (!Current.On || Current.Ended) return;
    PumpTickets(); // the next game's ticket arrives while this one is played
    // The last ship is gone once the count drops below zero: the frame just shown was the game-over page's first,
    // where the replay tool stops and prints this line.
    if (w.ShipsLeft >= 0) return;
    Current.Frames = InputFramesSinceStart();
    Current.EndLine = ReplayEndLine(w, "game-over", Current.Frames);
    Current.Ended = true;
    StopInputRecording();
}

void EndKeptGame() {
    if (!Current.On) return;
    bool over = Current.Ended;
    // Left through the exit prompt: the replay ends as the game returns, before another flip.
    if (!over) Finish("game-left", true);
    Current.Script.Events = RecordedInput();
    Current.Script.EndFrame = Current.Frames + 1;
    KeepScript(ScriptText(Current, over ? "game-over" : "game-left"));
    Current = KeptGame{};
    AskForTicket(); // for the next game
}

void KeepGameInProgress() {
    if (!Current.On) return;
    bool over = Current.Ended;
    // The close came part way through a frame, so no end line is promised: the script stops at the last flip.
    if (!over) Finish("window-closed", false);
    Current.Script.Events = RecordedInput();
    Current.Script.EndFrame = over ? Current.Frames + 1 : (Current.Frames > 0 ? Current.Frames : 1);
    KeepScript(ScriptText(Current, over ? "game-over" : "window-closed"));
    Current = KeptGame{};
}

std::string LastGamePath() { return KeptBase() + "-last-game.txt"; }
std::string BestGamePath() { return KeptBase() + "-best-game.txt"; }
std::string HistoryGamePath(int n) { return KeptBase() + "-game-" + IntToText(n) + ".txt"; }

std::vector<std::string> KeptGameFiles() {
    std::vector<std::string> files = {LastGamePath(), BestGamePath()};
    for (int n = 1; n <= KeptHistoryGames; ++n) files.push_back(HistoryGamePath(n));
    std::size_t kept = files.size();
    for (std::size_t i = 0; i < kept; ++i) files.push_back(files[i] + ".new");
    return files;
}

bool KeptGameScore(const std::string& path, int& score) {
    Stream* stream = ReadFile(path.c_str());
    if (!stream) return false;
    bool found = false;
    for (int line = 0; line < HeaderLines && !found && !Eof(stream); ++line) {
        std::string text = ReadLine(stream, LongestHeaderLine);
        if (text.rfind(ScoreMark, 0) == 0) found = HeaderNumber(text, ScoreMark, score);
    }
    CloseStream(stream);
    return found;
}

bool KeptGameForScore(int score, int level, std::string& script) {
    if (Current.On) {
        // On the game-over page: the script EndKeptGame is about to write, from what was recorded up to the end.
        if (!Current.Ended) return false;
        KeptGame over = Current;
        over.Script.Events = RecordedInput();
        over.Script.EndFrame = over.Frames + 1;
        script = ScriptText(over, "game-over");
        return true;
    }
    Stream* stream = ReadFile(LastGamePath().c_str());
    if (!stream) return false;
    std::string text = ReadBytes(stream, MostKeptGameBytes + 1);
    CloseStream(stream);
    int keptScore = 0, keptLevel = 0;
    if (text.size() > MostKeptGameBytes || !HeaderScore(text, keptScore, keptLevel)) return false;
    if (keptScore != score || keptLevel != level) return false;
    script = std::move(text);
    return true;
}

void SetKeepPlayerGames(bool on) { KeepPlayerGames = on; }
bool KeepingPlayerGames() { return KeepPlayerGames; }

void ResetKeptGames() {
    Current = KeptGame{};
    KeepPlayerGames = false;
}

// A game of the online board played again for the player to watch: fetched as a script, played as a kept game is
// watched, and everything it changed put back so that the high-score screen goes on as it was.
#include "OnlineGames.h"
#include "HighScores.h"
#include "KeptGames.h"
#include "MainMenu.h"
#include "Network.h"
#include "Tickets.h"
#include "Watching.h"
#include "core/GameState.h"
#include "core/ScoreProtocol.h"
#include "fortress/World.h"
#include "game/GameLoop.h"
#include "graphics/Palette.h"
#include "graphics/TPoly.h"
#include "platform/Input.h"
#include "platform/Time.h"
#include <sstream>

namespace {
constexpr int FetchCommand = 2;
constexpr int GoodReply = 2;
constexpr int ScreenDelayMs = 100;
constexpr std::size_t ShortestGameName = 16, LongestGameName = 64;
const std::string GameQuery = ScoreProtocol::Request(ScoreProtocol::ScoresScript, ScoreProtocol::GetGameOption) +
                              ScoreProtocol::Parameter(ScoreProtocol::GameParameter, "");

// What a watched game changes that the player's own run needs back.
struct PlayersRun {
    int Keys[4], Controls, Pad, PadFire, PadThrust, Colours, Neon;
    int Best;
    bool Keeping;
};

PlayersRun TakePlayersRun() {
    return {{TheSettings.KeyTurnLeft, TheSettings.KeyTurnRight, TheSettings.KeyThrust, TheSettings.KeyFire},
            TheControls.ControlMode,
            TheControls.PadActive,
            TheControls.PadFireButton,
            TheControls.PadThrustButton,
            TheSettings.ColorsOn,
            TheSettings.NeonMode,
            TheSettings.PersonalHighscore,
            KeepingPlayerGames()};
}

void PutBack(const PlayersRun& run) {
    TheSettings.KeyTurnLeft = run.Keys[0];
    TheSettings.KeyTurnRight = run.Keys[1];
    TheSettings.KeyThrust = run.Keys[2];
    TheSettings.KeyFire = run.Keys[3];
    TheControls.ControlMode = run.Controls;
    TheControls.PadActive = run.Pad;
    TheControls.PadFireButton = run.PadFire;
    TheControls.PadThrustButton = run.PadThrust;
    if (TheSettings.ColorsOn != run.Colours) {
        TheSettings.ColorsOn = run.Colours;
        SetPalette();
    }
    if (TheSettings.NeonMode != run.Neon) {
        TheSettings.NeonMode = run.Neon;
        SetDrawingState();
    }
    TheSettings.PersonalHighscore = run.Best;
    SetKeepPlayerGames(run.Keeping);
}

// The watch of a row's game over the high-score screen: the player's run taken aside before it and put back after
// it, so that the screen goes on as it was.
class RowWatch : public Screen {
  public:
    RowWatch(World& menu, const ReplayScript& script, const std::string& whose)
        : Menu(menu), Script(script), Whose(whose) {}
    void Step(Loop& loop) override {
        Run = TakePlayersRun();
        SetKeepPlayerGames(false);
        FlushKeys();
        Watched = World{};
        loop.Open(OpenWatch(Watched, Script, Whose, [this](const WatchOutcome& outcome) {
            // A game left through its exit prompt has ended itself; any other was stopped where it stood.
            if (outcome.How != WatchEnding::GameLeft) EndGame(Watched);
            return outcome.How != WatchEnding::Escape;
        }));
    }
    void Resume(Loop& loop) override {
        PutBack(Run);
        ResetMenuWorld(Menu);
        Delay(ScreenDelayMs);
        FlushKeys();
        loop.Close();
    }
    void Draw() const override {}

  private:
    World& Menu;   // the menu's, whose fortress stands afresh after the watch
    World Watched; // a world of its own: the watched game touches nothing of the player's
    ReplayScript Script;
    std::string Whose;
    PlayersRun Run{};
};
} // namespace

bool IsOnlineGameName(const std::string& text) {
    if (text.size() < ShortestGameName || text.size() > LongestGameName) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool OnlineRowHasGame(int row) {
    return row >= 0 && row < OnlineRows && HighscoreRowShown(row) && IsOnlineGameName(TheSettings.OnlineGames[row]);
}

std::string RowGameFetch::Start(int row) {
    if (!OnlineRowHasGame(row)) return "no game to watch on that row";
    Row = row;
    Text.clear();
    Fetched = false;
    SetTicketFetchAside();
    Network::Send(FetchCommand, GameQuery + TheSettings.OnlineGames[row], 1, 0);
    return "";
}

bool RowGameFetch::Look(Loop& loop, World& menu, std::string& notice) {
    if (Network::GetNumberOfCommandsInQueue() != 0) {
        Network::Update();
        if (Network::Receive(FetchCommand) != 0 && Network::GetState() == GoodReply) {
            Text.clear();
            for (int line = 1; line <= Network::GetNbOfLines(); ++line) Text += Network::GetResult(line) + "\n";
            Fetched = true;
        }
        if (Network::GetNumberOfCommandsInQueue() != 0) return false;
    }
    int row = Row;
    Row = -1;
    notice = Watch(row, loop, menu);
    return true;
}

std::string RowGameFetch::Watch(int row, Loop& loop, World& menu) {
    if (!Fetched) return "that game could not be fetched";
    ReplayScript script;
    std::string error;
    std::istringstream in(Text);
    if (!ParseReplayScript(in, script, error)) return "that game could not be read";
    if (script.Rules != RulesVersion) return "that game was " + OtherRules(script);
    loop.Open(std::make_unique<RowWatch>(menu, script, TheSettings.OnlineNames[row]));
    return "";
}

// The high-score screen with the personal best and the online top ten, the sync that uploads the last score and
// fetches the top ten behind its wait screen, and the version check that follows every sync.
#include "HighScores.h"
#include "KeptGames.h"
#include "MainMenu.h"
#include "NameEntry.h"
#include "Network.h"
#include "OnlineGames.h"
#include "ScreenFrame.h"
#include "Tickets.h"
#include "core/GameState.h"
#include "core/ScoreProtocol.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/Version.h"
#include "fortress/World.h"
#include "game/Pages.h"
#include "game/Ship.h"
#include "graphics/Shapes.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Text.h"
#include "platform/Time.h"
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int UploadCommand = 1;
constexpr int ListCommand = 2; // the top ten, and the version list
constexpr int GoodReply = 2;
constexpr int RefusedReply = 4; // the server said no, and its one line says why
constexpr int SyncDelayMs = 150;
constexpr int ScreenDelayMs = 100;
constexpr int KeyTab = 9;
constexpr int KeyEscape = 27;
constexpr int KeyRowOne = 49; // the keys 1 to 8 pick a shown row's game to watch

const std::string RunningVersion = GameVersion;
const std::string ProductKey = "kestrovar";
// The difficulty the server keeps beside each score; the game has one difficulty and sends it empty.
const std::string DifficultyText = "";
const std::string ListQuery = ScoreProtocol::Request(ScoreProtocol::ScoresScript, ScoreProtocol::GetScoreOption) +
                              ScoreProtocol::Parameter(ScoreProtocol::CountParameter, "10");
const std::string VersionQuery = ScoreProtocol::Request(ScoreProtocol::VersionScript, ScoreProtocol::GetVersionOption) +
                                 ScoreProtocol::Parameter(ScoreProtocol::CountParameter, "30");

constexpr int LinesPerEntry = 5;     // name, level, score, one line the game ignores, date
constexpr int LinesPerVersion = 2;   // product key, version
constexpr int VersionListSize = 100; // the version reply fills at most this many entries
constexpr int ShownRows = 8;         // rows 8 and 9 are kept and stored but never shown

// The wait screen's lines.
constexpr float WaitTextColumn = 3.0f;
constexpr float WaitFirstRow = 8.0f, WaitRowStep = 2.0f;
constexpr float WaitTextScale = 0.75f;
constexpr float WaitShipX = 512, WaitShipY = 48;

// The high-score screen's layout, in character cells.
constexpr float TitleColumn = 1.5f, TitleRow = 2.0f, TitleScale = 3.0f, TitleRowScale = 1.0f;
constexpr float ScoreColumn = 2.0f, LastScoreRow = 5.5f, BestScoreRow = 7.0f;
constexpr float NameLineRow = 32.5f;
constexpr float SyncLineColumn = 2.5f, SyncLineRow = 34.0f;
constexpr float LeaveLineRow = 35.5f;
// Below the table's lower rule and above the name line: the help to watch a row's game, or why it can't be.
constexpr float WatchLineRow = 31.25f;
constexpr int WatchNoticeFrames = 180;
constexpr int SyncNoticeFrames = 600; // why a sync failed, long enough to read a refusal
constexpr std::size_t NoteWidth = 48; // characters the note line holds at its scale; a longer one is drawn smaller
constexpr float HeaderColumn = 2.0f, HeaderRow = 9.15f;
constexpr float TableColumn = 2.0f, TableFirstRow = 10.75f, TableRowStep = 1.5f;
constexpr float SmallText = 0.75f, FullText = 1.0f;
// The two rules around the table, in playfield units.
constexpr float RuleLeft = 20, RuleRight = 986, RuleTop = 232, RuleBottom = 646;
constexpr std::uint32_t RuleColour = 0xFF2080FF;

constexpr std::size_t RowNameWidth = 10;
constexpr std::size_t RowLevelWidth = 3;
constexpr std::size_t RowScoreLongest = 10;
constexpr std::size_t RowScoreWidth = 8;
const std::string RowGap = "      ";

void DrawText(const std::string& text, float x, float y, PageColour colour, float scale) {
    DrawVectorText(text, x, y, colour.Argb, 0, scale, scale, 0, colour.Red, colour.Green, colour.Blue);
}

// Why the last sync fetched no top ten, or why the server refused its score; empty when nothing went wrong. The
// high-score screen takes it as its note.
std::string SyncNote;
bool SyncFetched = false;

// What a failed reply says to the player: no answer, a busy server, or the server's own line.
std::string FailedReplyNote(const std::string& refusing) {
    if (Network::GetState() != RefusedReply) return "the server did not answer - try again later";
    std::string line = Network::GetResult(1);
    if (line == ScoreProtocol::BusyRefusal) return "the server is busy - try again soon";
    if (line.starts_with(ScoreProtocol::RefusalStart)) line.erase(0, ScoreProtocol::RefusalStart.size());
    return "the server refused " + refusing + ": " + line;
}

// What came of the score when it was not simply stored: the server's own first line ("renamed", "known: ace",
// "not ranked: ..."), or why it was refused.
std::string UploadReplyNote() {
    if (Network::GetState() == RefusedReply) return FailedReplyNote("your score");
    if (Network::GetState() != GoodReply || Network::GetNbOfLines() < 1) return "";
    std::string first = Network::GetResult(1);
    return first == ScoreProtocol::StoredReply ? "" : first;
}

void Blip() {
    if (TheSettings.SoundFXOn == 1) Sound::Play("BlipSND", 0);
}

// The name as the server keeps it: A to Z in lower case, every other character as it is.
std::string ServerName(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

void DrawWaitScreen(const World& w, const ShipFlame& flame) {
    BeginScreenFrame(ScreenStars::Hidden);
    RestoreData("SyncWaitText");
    float row = WaitFirstRow;
    for (std::string line = ReadDataString(); line != "#"; line = ReadDataString()) {
        DrawText(line, WaitTextColumn, row, PageGreen, WaitTextScale);
        row += WaitRowStep;
    }
    DrawShipShape(flame, w.ShipShape, WaitShipX, WaitShipY, 0);
}

void TakeTopTen() {
    int lines = Network::GetNbOfLines();
    for (int k = 0; 1 + LinesPerEntry * k <= lines && k < OnlineRows; ++k) {
        int first = 1 + LinesPerEntry * k;
        TheSettings.OnlineNames[k] = Network::GetResult(first);
        TheSettings.OnlineLevels[k] = Network::GetResult(first + 1);
        TheSettings.OnlineScores[k] = Network::GetResult(first + 2);
        TheSettings.OnlineGames[k] =
            Network::GetResult(first + 3); // the game behind the row, where the server names one
        TheSettings.OnlineDates[k] = Network::GetResult(first + 4);
    }
}

void DrawRules() {
    int red = TheSettings.ColorsOn == 1 ? 32 : 255;
    int green = TheSettings.ColorsOn == 1 ? 128 : 255;
    int blue = 255;
    DrawSegment(RuleLeft, RuleTop, RuleRight, RuleTop, RuleColour, GlowWidth5, red, green, blue);
    DrawSegment(RuleLeft, RuleBottom, RuleRight, RuleBottom, RuleColour, GlowWidth5, red, green, blue);
    FinishSegments();
}

void DrawHighscoreScreen(const std::string& scoreText, const std::string& bestText, const std::string& watchLine) {
    SetColor(255, 255, 255);
    BeginScreenFrame(ScreenStars::Hidden);
    DrawVectorTextBold("highscores", TitleColumn, TitleRow, PageGreen.Argb, 0, TitleScale, TitleRowScale, 0,
                       PageGreen.Red, PageGreen.Green, PageGreen.Blue);
    DrawText("last score achieved    : " + scoreText, ScoreColumn, LastScoreRow, PageWhite, FullText);
    DrawText("personal highscore:    : " + bestText, ScoreColumn, BestScoreRow, PageWhite, FullText);
    DrawCentredText("press tab to change name from: " + TheSettings.PlayerName, NameLineRow, 0xFFFF4080, SmallText, 255,
                    64, 128);
    DrawText("online scores - press fire to sync highscore", SyncLineColumn, SyncLineRow, PageCyan, SmallText);
    DrawCentredText("press ESCAPE or THRUST to return to menu.", LeaveLineRow, PageYellow.Argb, SmallText,
                    PageYellow.Red, PageYellow.Green, PageYellow.Blue);
    DrawText("playername     level     topscore", HeaderColumn, HeaderRow, {0xFFFF0000, 255, 0, 0}, FullText);
    // A long note (a refusal's own line) is drawn smaller, so that it stays on the screen.
    std::size_t noteWidth = watchLine.size() + 2; // the centring adds a space at each end
    float noteScale =
        noteWidth <= NoteWidth ? SmallText : SmallText * static_cast<float>(NoteWidth) / static_cast<float>(noteWidth);
    DrawCentredText(watchLine, WatchLineRow * SmallText / noteScale, PageCyan.Argb, noteScale, PageCyan.Red,
                    PageCyan.Green, PageCyan.Blue);
    DrawRules();
    for (int row = 0; row < ShownRows; ++row)
        if (HighscoreRowShown(row))
            DrawText(HighscoreRowText(row), TableColumn, TableFirstRow + TableRowStep * static_cast<float>(row),
                     PageYellow, FullText);
}

bool FireHit() {
    return KeyHit(TheSettings.KeyFire) || KeyHit(KeyReturn) ||
           (TheControls.PadActive == 1 && JoyHit(TheControls.PadFireButton, 0));
}

bool LeaveHit() {
    return KeyHit(KeyEscape) || KeyDown(TheSettings.KeyThrust) ||
           (TheControls.PadActive == 1 && JoyHit(TheControls.PadThrustButton, 0));
}

// The help to watch a row's game, only while a shown row has one.
std::string WatchHelpLine() {
    for (int row = 0; row < ShownRows; ++row)
        if (OnlineRowHasGame(row)) return "press 1 to 8 to watch a game";
    return "";
}

// The rows a sync from this screen fetches afresh show nothing until the reply fills them.
void PlaceholderShownRows() {
    for (int row = 0; row < ShownRows; ++row) {
        TheSettings.OnlineNames[row] = "..........";
        TheSettings.OnlineLevels[row] = "-";
        TheSettings.OnlineScores[row] = "-";
        TheSettings.OnlineDates[row] = " ";
    }
}
} // namespace

OnlineTable TakeOnlineTable() {
    OnlineTable table;
    for (int row = 0; row < OnlineRows; ++row) {
        table.Names[row] = TheSettings.OnlineNames[row];
        table.Levels[row] = TheSettings.OnlineLevels[row];
        table.Scores[row] = TheSettings.OnlineScores[row];
        table.Dates[row] = TheSettings.OnlineDates[row];
    }
    return table;
}

void PutBackOnlineTable(const OnlineTable& table) {
    for (int row = 0; row < OnlineRows; ++row) {
        TheSettings.OnlineNames[row] = table.Names[row];
        TheSettings.OnlineLevels[row] = table.Levels[row];
        TheSettings.OnlineScores[row] = table.Scores[row];
        TheSettings.OnlineDates[row] = table.Dates[row];
    }
}

bool SyncFetchedTopTen() { return SyncFetched; }

std::string TakeSyncNote() {
    std::string note;
    note.swap(SyncNote);
    return note;
}

void ResetSyncNote() { SyncNote.clear(); }

std::string HighscoreRowText(int row) {
    std::string name = TheSettings.OnlineNames[row].substr(0, RowNameWidth);
    name.resize(RowNameWidth, ' ');
    std::string level = TheSettings.OnlineLevels[row];
    if (level.size() > RowLevelWidth) level = level.substr(level.size() - RowLevelWidth);
    level.insert(0, RowLevelWidth - level.size(), ' ');
    std::replace(level.begin(), level.end(), ' ', '0');
    std::string score = TheSettings.OnlineScores[row].substr(0, RowScoreLongest);
    if (score.size() < RowScoreWidth) score.insert(0, RowScoreWidth - score.size(), ' ');
    return name + RowGap + level + RowGap + score;
}

bool HighscoreRowShown(int row) { return TheSettings.OnlineScores[row] > "0"; }

namespace {
// The version list as it arrives: product keys and versions, a hundred entries at most.
struct VersionList {
    std::vector<std::string> Keys = std::vector<std::string>(VersionListSize);
    std::vector<std::string> Versions = std::vector<std::string>(VersionListSize);
};

void TakeVersions(VersionList& list) {
    for (int k = 0; 1 + LinesPerVersion * k <= Network::GetNbOfLines() && k < VersionListSize; ++k) {
        list.Keys[static_cast<std::size_t>(k)] = Network::GetResult(1 + LinesPerVersion * k);
        list.Versions[static_cast<std::size_t>(k)] = Network::GetResult(2 + LinesPerVersion * k);
    }
}

// The notice for the menu's bottom line once the version list is in.
void NoteNewVersion(const VersionList& list) {
    // Only the entries the lists hold are searched: a reply of more than a hundred entries keeps its first hundred.
    int last = std::min((Network::GetNbOfLines() - 1) / LinesPerVersion, VersionListSize - 1);
    std::string found;
    for (int k = 0; k <= last; ++k)
        if (list.Keys[static_cast<std::size_t>(k)] == ProductKey) found = list.Versions[static_cast<std::size_t>(k)];
    if (!found.empty() && found != RunningVersion) VersionNotice = "  new version (v" + found + ") is available";
}

// The wait screen over the requests to the score server: the sync (the upload and the top ten's request) and the
// version check, each sent once the one before is answered. Its frame is shown before anything is sent; then each
// step looks at the component once and the screen stays up until the component's queue is empty (a wait on the
// network measured in real time, which no frame count could follow). No ticket fetch starts behind it, in the queue
// ahead of its own requests.
class WaitPage : public Screen {
  public:
    WaitPage(const World& world, bool sync, bool version)
        : Fight(world), Now(sync ? Job::Sync : Job::Version), ThenVersion(sync && version) {}
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            Flame = PickShipFlame(Fight.ShipShape);
            return;
        }
        if (!Sent) {
            Sent = true;
            if (Now == Job::Sync)
                SendSync();
            else
                SendVersionCheck();
        }
        if (StillWaiting()) return;
        if (Now == Job::Sync) {
            Delay(SyncDelayMs);
            FlushKeys();
            if (!ThenVersion) {
                loop.Close();
                return;
            }
            Now = Job::Version;
            SendVersionCheck();
            if (StillWaiting()) return; // the version list may be in already
        }
        NoteNewVersion(Versions);
        Delay(ScreenDelayMs);
        FlushKeys();
        loop.Close();
    }
    void Draw() const override { DrawWaitScreen(Fight, Flame); }

  private:
    enum class Job { Sync, Version };
    void SendSync() {
        std::string name = ServerName(TheSettings.PlayerName);
        std::string level = IntToText(Fight.Level);
        std::string score = IntToText(Fight.Score);
        std::string syncDate = CurrentDate();
        Delay(SyncDelayMs);
        FlushKeys();
        SetTicketFetchAside();
        if (Fight.Score > 0 && Fight.Level > 0) {
            using namespace ScoreProtocol;
            std::string upload = Request(ScoresScript, AddScoreOption) + Parameter(UserParameter, name) +
                                 Parameter(LevelParameter, level) +
                                 Parameter(ScoreParameter, score + " " + DifficultyText) +
                                 Parameter(DateParameter, syncDate) + Parameter(BoardParameter, DifficultyText);
            // The server trusts a game, not a claim: the score goes with the game that scored it, or not at all. A
            // component that cannot carry a game sends the claim alone, as it always has.
            std::string game;
            if (!Network::CanSendPost())
                Network::Send(UploadCommand, upload, 1, 0);
            else if (KeptGameForScore(Fight.Score, Fight.Level, game))
                Network::SendPost(UploadCommand, upload, game);
        }
        Network::Send(ListCommand, ListQuery, 1, 0);
        SyncFetched = false;
        SyncNote = "the server did not answer - try again later";
    }
    void SendVersionCheck() {
        TheControls.KeyPressed = 0;
        SetTicketFetchAside();
        Network::Send(ListCommand, VersionQuery, 1, 0);
    }
    // One look at the component: true while requests are still in its queue.
    bool StillWaiting() {
        if (Network::GetNumberOfCommandsInQueue() == 0) return false;
        Network::Update();
        Take();
        return Network::GetNumberOfCommandsInQueue() != 0;
    }
    // What the component has answered since the last look.
    void Take() {
        if (Now == Job::Version) {
            if (Network::Receive(ListCommand) != 0 && Network::GetState() == GoodReply) TakeVersions(Versions);
            return;
        }
        // A stored upload says nothing the game uses; any other reply says what came of the score.
        if (Network::Receive(UploadCommand) != 0) UploadNote = UploadReplyNote();
        if (Network::Receive(ListCommand) != 0) {
            SyncFetched = Network::GetState() == GoodReply;
            if (SyncFetched) TakeTopTen();
            SyncNote = SyncFetched ? UploadNote : FailedReplyNote("the top ten");
        }
    }
    const World& Fight; // the game whose score is sent
    Job Now;
    bool ThenVersion;
    bool Started = false, Sent = false;
    ShipFlame Flame;
    std::string UploadNote;
    VersionList Versions;
};
} // namespace

std::unique_ptr<Screen> OpenSync(const World& w) { return std::make_unique<WaitPage>(w, true, false); }

std::unique_ptr<Screen> OpenSyncAndVersionCheck(const World& w) { return std::make_unique<WaitPage>(w, true, true); }

std::unique_ptr<Screen> OpenVersionCheck(const World& w) { return std::make_unique<WaitPage>(w, false, true); }

namespace {
// Where the checks after a flip stand: a screen opened over the high scores resumes them at the next check (a row's
// watch, at the sync's).
enum class HighscoreCheck { Name, Rows, Sync, Leave, Watch };

class HighscorePage : public Screen {
  public:
    explicit HighscorePage(World& world) : Fight(world) {}
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            ScoreShown = ScoreText(Fight.Score);
            BestShown = ScoreText(TheSettings.PersonalHighscore);
            // Why the game of a row can't be watched, or why the sync that led here failed, for a few seconds.
            Notice = TakeSyncNote();
            NoticeFrames = Notice.empty() ? 0 : SyncNoticeFrames;
            Delay(ScreenDelayMs);
            FlushKeys();
            return;
        }
        if (Fetch.Fetching()) {
            // The screen stands as it was while a row's game is on its way; its keys wait for the fetch's end.
            std::string notice;
            if (!Fetch.Look(loop, Fight, notice)) return;
            if (loop.Top() != this) {
                Waiting = HighscoreCheck::Watch;
                return;
            }
            Notice = notice;
            NoticeFrames = WatchNoticeFrames;
            FlushKeys();
            return;
        }
        PumpTickets();
        if (NoticeFrames > 0) NoticeFrames -= 1;
        CheckFrom(HighscoreCheck::Name, loop);
    }
    void Resume(Loop& loop) override {
        if (Waiting == HighscoreCheck::Watch) {
            NoticeFrames = 0;
            CheckFrom(HighscoreCheck::Sync, loop);
            return;
        }
        if (Waiting == HighscoreCheck::Sync) {
            // A failed sync keeps the table it had: an empty one would read as a board that is gone.
            if (!SyncFetchedTopTen()) PutBackOnlineTable(Shown);
            Notice = TakeSyncNote();
            NoticeFrames = Notice.empty() ? 0 : SyncNoticeFrames;
            FlushKeys();
        }
        CheckFrom(Waiting == HighscoreCheck::Name ? HighscoreCheck::Rows : HighscoreCheck::Leave, loop);
    }
    void Draw() const override {
        DrawHighscoreScreen(ScoreShown, BestShown, NoticeFrames > 0 ? Notice : WatchHelpLine());
    }

  private:
    void CheckFrom(HighscoreCheck from, Loop& loop) {
        if (from == HighscoreCheck::Name && KeyHit(KeyTab)) {
            NoticeFrames = 0; // a note belongs to the screen it was made on, not to the name entry's return
            Waiting = HighscoreCheck::Name;
            loop.Open(OpenNameEntry());
            return;
        }
        if (from <= HighscoreCheck::Rows) {
            for (int row = 0; row < ShownRows; ++row) {
                // A digit the player fires or thrusts with does that here too: it syncs or leaves, and watches
                // nothing.
                const int key = KeyRowOne + row;
                if (key == TheSettings.KeyFire || key == TheSettings.KeyThrust || !KeyHit(key)) continue;
                Blip();
                Notice = Fetch.Start(row);
                NoticeFrames = Notice.empty() ? 0 : WatchNoticeFrames;
                if (Fetch.Fetching()) return;
                break;
            }
        }
        if (from <= HighscoreCheck::Sync && FireHit()) {
            TheControls.KeyPressed = 0;
            Shown = TakeOnlineTable();
            PlaceholderShownRows();
            Blip();
            Waiting = HighscoreCheck::Sync;
            loop.Open(OpenSyncAndVersionCheck(Fight));
            return;
        }
        if (LeaveHit()) {
            FlushKeys();
            Blip();
            loop.Close();
        }
    }
    World& Fight; // the last game's, and the menu's fortress a watched game leaves behind
    bool Started = false;
    std::string ScoreShown, BestShown;
    std::string Notice;
    int NoticeFrames = 0;
    HighscoreCheck Waiting = HighscoreCheck::Name;
    OnlineTable Shown;
    RowGameFetch Fetch;
};
} // namespace

std::unique_ptr<Screen> OpenHighscores(World& w) { return std::make_unique<HighscorePage>(w); }

// Name entry and key redefinition: the player's name typed letter by letter, and the four game keys asked for anew
// by holding each, with the key-name table that both screens show keys by.
#include "NameEntry.h"
#include "ScreenFrame.h"
#include "Tickets.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "game/Pages.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Time.h"
#include <memory>
#include <string>

namespace {
constexpr int KeyBackspace = 8;
constexpr int KeyEscape = 27;
constexpr int KeySpace = 32;
constexpr int KeyY = 89;
constexpr int KeyN = 78;
constexpr int FirstNameKey = 48; // "0"; the scan runs up to "Z"
constexpr int LastNameKey = 90;
constexpr std::size_t LongestName = 10;
constexpr int NameLeaveDelayMs = 150;
constexpr int AnswerDelayMs = 200;
constexpr int KeysDoneDelayMs = 100;
constexpr int WaitStartDelayMs = 100;
constexpr float KeyNameColumns = 12;
constexpr float KeyLinesColumn = 3;
constexpr float KeyLineRows[4] = {9, 11, 13, 15};
const char* const KeyLabels[4] = {"Turn Left", "Turn Right", "thrust Key", "Fire Key"};

constexpr PageColour Yellow = PageYellow;
constexpr PageColour Red = {0xFFFF4040, 255, 64, 64};
constexpr PageColour Cyan = PageCyan;
constexpr PageColour Lilac = {0xFF8080FF, 128, 128, 255};
constexpr PageColour Green = PageGreen;

void Text(const std::string& text, float x, float y, PageColour colour) {
    DrawPageText(text, x, y, colour, PageFullText);
}

void Blip() {
    if (TheSettings.SoundFXOn == 1) Sound::Play("BlipSND", 0);
}

int* KeySetting(int action) {
    int* const settings[4] = {&TheSettings.KeyTurnLeft, &TheSettings.KeyTurnRight, &TheSettings.KeyThrust,
                              &TheSettings.KeyFire};
    return settings[action];
}

void DrawNameScreen() {
    BeginScreenFrame(ScreenStars::Hidden);
    DrawVectorTextBold("set name", 2.5f, 2.0f, 0xFF80FF40, 0, 3, 1, 0, 128, 255, 64);
    // Each help line twice at one place: the yellow words, then the key names in red in the gaps left for them.
    Text("edit name using keys     and    .", 2.0f, 7.0f, Yellow);
    Text("                     a-z     0-9.", 2.0f, 7.0f, Red);
    Text("use           to erase characters.", 2.0f, 8.5f, Yellow);
    Text("    backspace                     ", 2.0f, 8.5f, Red);
    Text("      or     to end editing.", 5.0f, 10.0f, Yellow);
    Text("enter    esc                ", 5.0f, 10.0f, Red);
    Text("(max 10 chars)", 11.0f, 14.0f, Red);
    Text("current player:", 5.0f, 18.0f, Cyan);
    Text(TheSettings.PlayerName, 21.0f, 18.0f, Lilac);
}

// The first of "0".."Z" hit this frame, space counting as soon as it is seen; 0 when none.
int TypedCharacter() {
    for (int code = FirstNameKey; code <= LastNameKey; ++code) {
        if (KeyHit(code)) return code;
        if (KeyHit(KeySpace)) return KeySpace;
    }
    return 0;
}

// The heading and the key lines of the redefinition screens; `shown` lines get their key names, the line after
// them (when `asking`) only its label.
void DrawKeysScreen(int shown, bool asking) {
    BeginScreenFrame(ScreenStars::Hidden);
    DrawVectorText("redefine", 2.5f, 2.0f, Green.Argb, 0, 3, 1, 0, Green.Red, Green.Green, Green.Blue);
    DrawVectorText("keys", 4.5f, 5.0f, Green.Argb, 0, 3, 1, 0, Green.Red, Green.Green, Green.Blue);
    for (int action = 0; action < shown; ++action)
        DrawKeyLine(KeyLabels[action], *KeySetting(action), KeyLinesColumn, KeyLineRows[action], 0);
    if (asking) DrawKeyLine(KeyLabels[shown], 0, KeyLinesColumn, KeyLineRows[shown], 1);
}

void DrawQuestionScreen() {
    BeginScreenFrame(ScreenStars::Hidden);
    DrawVectorTextBold("redefine", 2.5f, 2.0f, 0xFF80FF40, 0, 3, 1, 0, 128, 255, 64);
    DrawVectorTextBold("keys", 4.5f, 5.0f, 0xFF80FF40, 0, 3, 1, 0, 128, 255, 40);
    Text(" these are the currrent keys", 4.5f, 18.5f, Green);
    Text("do you want to redefine (y/n)", 4.5f, 20.0f, Green);
    for (int action = 0; action < 4; ++action)
        DrawKeyLine(KeyLabels[action], *KeySetting(action), KeyLinesColumn, KeyLineRows[action], 0);
}

// The answer to the question held now: 1 for yes, 0 for no (N or Escape), -1 for none yet.
int HeldAnswer() {
    int answer = -1;
    if (KeyDown(KeyY)) answer = 1;
    if (KeyDown(KeyN) || KeyDown(KeyEscape)) answer = 0;
    return answer;
}

// The first key of the key-name table held now, in table order; 0 when none.
int HeldTableKey() {
    RestoreData("KeyNames");
    for (;;) {
        int code = ReadDataInt();
        ReadDataString();
        if (KeyDown(code)) return code;
        if (code == LastKeyCode) return 0;
    }
}
} // namespace

std::string KeyName(int code) {
    RestoreData("KeyNames");
    for (;;) {
        int row = ReadDataInt();
        std::string name = ReadDataString();
        if (row == code || row == LastKeyCode) return name;
    }
}

void DrawKeyLine(const std::string& label, int code, float column, float row, int hideName) {
    Text(label, column, row, Yellow);
    if (hideName != 1) Text(KeyName(code), column + KeyNameColumns, row, Yellow);
}

namespace {
// The name typed letter by letter until Escape, Enter or fire.
class NamePage : public Screen {
  public:
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            FlushKeys();
        } else {
            PumpTickets();
            if (KeyHit(KeyEscape) || KeyHit(KeyReturn) || KeyHit(TheSettings.KeyFire)) {
                // Escape keeps the edits as well: there is no undo.
                Blip();
                if (TheSettings.PlayerName.empty()) TheSettings.PlayerName = "noname";
                Delay(NameLeaveDelayMs);
                FlushKeys();
                loop.Close();
                return;
            }
        }
        if (KeyHit(KeyBackspace)) {
            Blip();
            if (!TheSettings.PlayerName.empty()) TheSettings.PlayerName.pop_back();
        }
        if (int typed = TypedCharacter()) {
            if (TheSettings.PlayerName.size() < LongestName) {
                TheSettings.PlayerName += static_cast<char>(typed);
                Blip();
            }
            FlushKeys(); // one character a frame
        }
    }
    void Draw() const override { DrawNameScreen(); }

  private:
    bool Started = false;
};
} // namespace

std::unique_ptr<Screen> OpenNameEntry() { return std::make_unique<NamePage>(); }

namespace {
// The keys asked for anew: the question until Y, N or Escape is held; on yes each of the four keys in turn, one look
// at the held keys a frame until one of the table is down (the first in table order counts), then the four shown
// and the question again; on no the screen closes.
class KeysPage : public Screen {
  public:
    void Step(Loop& loop) override {
        PumpTickets();
        switch (Now) {
        case Phase::Asking: Ask(loop); break;
        case Phase::Waiting: Wait(); break;
        case Phase::Assigned:
            Delay(KeysDoneDelayMs);
            FlushKeys();
            Now = Phase::Asking;
            Asked = true; // shown in this frame, answered from the next
            break;
        }
    }
    void Draw() const override {
        if (Now == Phase::Asking)
            DrawQuestionScreen();
        else
            DrawKeysScreen(Action, Now == Phase::Waiting);
    }

  private:
    enum class Phase { Asking, Waiting, Assigned };
    // The question is shown once before its answer is read.
    void Ask(Loop& loop) {
        if (!Asked) {
            Asked = true;
            return;
        }
        int answer = HeldAnswer();
        if (answer < 0) return;
        Blip();
        Delay(AnswerDelayMs);
        FlushKeys();
        if (answer == 0) {
            loop.Close();
            return;
        }
        Now = Phase::Waiting;
        Action = 0;
        WaitStarted = false;
    }
    // The line asking for the key is shown once before the wait begins: keys held until then are let go.
    void Wait() {
        if (!WaitStarted) {
            WaitStarted = true;
            TheControls.KeyPressed = 0;
            Delay(WaitStartDelayMs);
            FlushKeys();
        }
        int code = HeldTableKey();
        if (code == 0) return;
        TheControls.KeyPressed = code;
        Blip();
        *KeySetting(Action) = code;
        Action += 1;
        WaitStarted = false;
        if (Action == 4) Now = Phase::Assigned;
    }
    Phase Now = Phase::Asking;
    bool Asked = false;
    int Action = 0; // the key asked for, or the keys shown so far
    bool WaitStarted = false;
};
} // namespace

std::unique_ptr<Screen> OpenRedefineKeys() { return std::make_unique<KeysPage>(); }

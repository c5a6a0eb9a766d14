// The instructions and credits page: its lines come from the instructions table and stay until a key or button.
#include "Instructions.h"
#include "Loop.h"
#include "Pages.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "graphics/VectorFont.h"
#include "platform/Data.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/Time.h"
#include <cstdint>
#include <memory>
#include <string>

namespace {
constexpr int LeaveDelayMs = 100;
constexpr int FirstKey = 1, LastKey = 254;
constexpr int KeyEscapeCode = 27;

void TypeInstructionLines() {
    RestoreData("InstructionsText");
    for (int line = 0; line < InstructionLines; ++line) {
        int x = ReadDataInt();
        int y = ReadDataInt();
        float scale = ReadDataFloat();
        float rowScale = ReadDataFloat();
        std::string text = ReadDataString();
        std::uint32_t colour = static_cast<std::uint32_t>(ReadDataInt());
        int red = ReadDataInt();
        int green = ReadDataInt();
        int blue = ReadDataInt();
        TypeChars(x, y, text, scale, rowScale, colour, red, green, blue);
    }
}

bool LeaveRequested() {
    ScanKeys();
    if (TheControls.KeyPressed >= FirstKey && TheControls.KeyPressed <= LastKey) return true;
    if (KeyHit(KeyReturn) || KeyHit(TheSettings.KeyFire) || KeyHit(KeyEscapeCode)) return true;
    return TheControls.PadActive == 1 &&
           (JoyHit(TheControls.PadFireButton, 0) || JoyHit(TheControls.PadThrustButton, 0));
}
} // namespace

namespace {
// The page: its letters typed in one a frame, until a key or button leaves it.
class InstructionsPage : public Screen {
  public:
    void Step(Loop& loop) override {
        if (!Started) {
            Started = true;
            if (TheSettings.SoundFXOn == 1) Sound::Play("SwooshSND", 0);
            FlushKeys();
            CharsList.Clear();
            TextCharCount = 0;
            TypeInstructionLines();
        } else if (LeaveRequested()) {
            Delay(LeaveDelayMs);
            FlushKeys();
            CharsList.Clear();
            loop.Close();
            return;
        }
        StepChars();
    }
    void Draw() const override {
        Cls();
        DrawBackdrop();
        ShowChars();
    }

  private:
    bool Started = false;
};
} // namespace

std::unique_ptr<Screen> OpenInstructions() { return std::make_unique<InstructionsPage>(); }

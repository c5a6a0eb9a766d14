// Opening the display in a new mode, and falling back to one that works when it can't be had.
#include "DisplayMode.h"
#include "core/Settings.h"
#include "graphics/TPoly.h"
#include "platform/Display.h"
#include "platform/System.h"
#include "platform/Text.h"
#include <string>

namespace {
constexpr int GameHertz = 60;
constexpr int PlayfieldWidth = 1024, PlayfieldHeight = 768;
constexpr DisplayMode SmallestWindow = {PlayfieldWidth, PlayfieldHeight, 0, 0, 0, 0};

void TakeMode(const DisplayMode& mode) {
    TheSettings.ScreenWidth = mode.Width;
    TheSettings.ScreenHeight = mode.Height;
    TheSettings.PlayfieldOffsetX = mode.OffsetX;
    TheSettings.PlayfieldOffsetY = mode.OffsetY;
    TheSettings.SavedOffsetY = mode.SavedOffsetY;
    TheSettings.FullScreen = mode.Full;
}

bool OpenMode(std::string& why) {
    if (!TryGraphics(TheSettings.ScreenWidth, TheSettings.ScreenHeight, TheSettings.FullScreen == 1 ? 1 : 0, GameHertz,
                     why))
        return false;
    HideMouse();
    SetDrawingState();
    return true;
}
} // namespace

DisplayMode CurrentDisplayMode() {
    return {TheSettings.ScreenWidth,      TheSettings.ScreenHeight, TheSettings.PlayfieldOffsetX,
            TheSettings.PlayfieldOffsetY, TheSettings.SavedOffsetY, TheSettings.FullScreen};
}

bool ChangeDisplayMode(const DisplayMode& wanted) {
    DisplayMode before = CurrentDisplayMode();
    TakeMode(wanted);
    std::string why;
    if (OpenMode(why)) return true;
    std::string message = "Kestrovar: can't open " + IntToText(wanted.Width) + "x" + IntToText(wanted.Height) +
                          (wanted.Full == 1 ? " full screen" : " in a window") + " (" + why + "); keeping " +
                          IntToText(before.Width) + "x" + IntToText(before.Height) +
                          (before.Full == 1 ? " full screen" : " in a window");
    ReportProblem(message.c_str());
    TakeMode(before);
    if (OpenMode(why)) return false;
    TakeMode(SmallestWindow);
    if (!OpenMode(why)) Graphics(PlayfieldWidth, PlayfieldHeight, 0, GameHertz); // no display at all: the end
    return false;
}

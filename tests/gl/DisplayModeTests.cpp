// Display modes on the real back end under the offscreen driver, whose one monitor mode is 1024 x 768: a full
// screen it lacks is refused and the game keeps a display that works.
#include "GlTestSupport.h"
#include "core/Settings.h"
#include "frontend/DisplayMode.h"
#include "platform/Display.h"
#include <gtest/gtest.h>

TEST(GlDisplayMode, AFullScreenTheMonitorLacksLeavesAWorkingDisplayInTheModeBefore) {
    TheSettings = Settings{};
    TheSettings.NeonMode = 0;
    ASSERT_TRUE(ChangeDisplayMode({1280, 1024, 128, 128, 128, 0})) << "a window of any size opens";
    EXPECT_FALSE(ChangeDisplayMode({1680, 1050, 328, 141, 141, 1}));
    ASSERT_TRUE(GraphicsOpen());
    EXPECT_EQ(GraphicsWidth(), 1280);
    EXPECT_EQ(TheSettings.FullScreen, 0);
    EXPECT_EQ(TheSettings.PlayfieldOffsetX, 128);
    EXPECT_EQ(TheSettings.SavedOffsetY, 128);
    // It draws: a line at the playfield's corner lands inside the viewport the mode came back with.
    Cls();
    DrawLine(128, 130, 140, 130, 1);
    ReadBack screen = ReadScreen();
    EXPECT_EQ(screen.Width, 1280);
    EXPECT_EQ(screen.LitPixels(), RectanglePixels(128, 130, 13, 1));

    EXPECT_TRUE(ChangeDisplayMode({1024, 768, 0, 0, 0, 1})) << "the monitor's own mode full screen";
    EXPECT_EQ(TheSettings.FullScreen, 1);
    EXPECT_TRUE(GraphicsOpen());
}

// The one loop every screen runs in, from the intro to the game itself: a stack of screens, the top one stepped and
// drawn each frame, and the one flip. A desktop program turns it until it ends; a browser calls it a frame at a time.
#pragma once
#include <memory>
#include <vector>

class Loop;

// One screen of the program: the step takes the frame's input, changes the screen's state and asks for sounds, drawing
// nothing, and names the next screen through the loop (opens one over itself, or closes itself); the draw shows the
// state and changes nothing.
class Screen {
  public:
    virtual ~Screen() = default;
    virtual void Step(Loop& loop) = 0;
    // The screen opened over this one has closed: what this screen does on its return, in place of a step in the
    // same frame (it may open or close a screen again).
    virtual void Resume(Loop& loop) { (void)loop; }
    virtual void Draw() const = 0;
};

class Loop {
  public:
    // A check steps its frames only: nothing is drawn and nothing is heard (drawing takes no random number and
    // changes nothing, so the game is the same either way).
    bool Drawn = true;
    bool Heard = true;

    // Opens a screen over the one on top; its first step comes in the same frame.
    void Open(std::unique_ptr<Screen> screen);
    // Closes the screen on top; the one below resumes in the same frame. The loop ends with its last screen.
    void Close();
    // Ends the program: every screen is closed at once, and no frame is made.
    void End();
    bool Running() const { return !Screens.empty(); }
    Screen* Top() const { return Screens.empty() ? nullptr : Screens.back().get(); }
    int Depth() const { return static_cast<int>(Screens.size()); }

  private:
    friend bool RunFrame(Loop& loop);
    std::vector<std::unique_ptr<Screen>> Screens;
    std::vector<std::unique_ptr<Screen>> Closed; // kept to the frame's end: a screen may close itself in its step
    enum class Change { None, Opened, Closed };
    Change Last = Change::None; // what the turn just stepped did to the stack
};

// One frame: the top screen's step (and the steps and resumes of the screens it opens or returns to), its draw, and
// the flip. False, with nothing drawn or flipped, once the last screen has closed.
bool RunFrame(Loop& loop);

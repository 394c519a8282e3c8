#pragma once

#include <string>
#include <vector>

namespace aaxhost {

// A user's input to an editor, written as text: one event per line, words separated by blanks,
// '#' starts a comment. Coordinates are the editor's logical pixels (its face at zoom 1), whatever
// the zoom and the display density; the player converts them to the window's pixels at the time
// of each event.
//
//   press X Y [left|right|middle]     a button goes down (left by default)
//   move X Y                          the pointer moves (dragging while a button is down)
//   release X Y [left|right|middle]   the button comes up
//   drag X1 Y1 X2 Y2 [STEPS]          press at the first point, STEPS moves (default 10) to the
//                                     second, release there
//   double X Y [left|right]           a double click
//   wheel X Y NOTCHES                 the wheel turns (positive: away from the user; fractions
//                                     of a notch allowed)
//   key NAME                          a key is pressed and released
//   keydown NAME / keyup NAME         a key goes down / comes up (hold shift while clicking ...)
//   wait FRAMES                       the display ticks FRAMES times (at 60 per second)
//
// Key names: a letter or digit, space, enter, escape, tab, backspace, delete, shift, ctrl, alt,
// left, right, up, down, home, end, pageup, pagedown, f1 … f12.
struct EditorScriptEvent
{
  enum class Kind
  {
    Press,
    Move,
    Release,
    DoubleClick,
    Wheel,
    KeyDown,
    KeyUp,
    Wait,
  };
  enum class Button
  {
    Left,
    Right,
    Middle,
  };

  Kind kind = Kind::Move;
  float x = 0.f;
  float y = 0.f;
  Button button = Button::Left;
  double notches = 0.0;       // wheel
  unsigned virtualKey = 0;    // keys
  int frames = 0;             // wait
  int line = 0;               // where it was written
};

// The events of a script, in order; `drag` and `key` become their steps. Throws CommandError
// naming the line for anything it does not understand (an unknown word, a missing or non-finite
// number, a step count below 1, an unknown key).
std::vector<EditorScriptEvent> ParseEditorScript(const std::string& text);

} // namespace aaxhost

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorScript.h"
#include "ParameterSettings.h"

namespace {

using aaxhost::EditorScriptEvent;
using aaxhost::ParseEditorScript;
using Kind = EditorScriptEvent::Kind;
using Button = EditorScriptEvent::Button;

TEST(EditorScript, EachLineBecomesItsEvents)
{
  const auto events = ParseEditorScript(
    "# a comment line\n"
    "\n"
    "press 10 20.5 right   # trailing comment\n"
    "move -3 4\n"
    "release 5 6\n"
    "double 7 8\n"
    "wheel 1 2 -1.5\n"
    "key a\n"
    "keydown Shift\n"
    "keyup f12\n"
    "wait 3\n"
    "drag 0 0 10 -20 2\n");
  ASSERT_EQ(events.size(), 14u);
  EXPECT_EQ(events[0].kind, Kind::Press);
  EXPECT_EQ(events[0].button, Button::Right);
  EXPECT_EQ(events[0].y, 20.5f);
  EXPECT_EQ(events[0].line, 3);
  EXPECT_EQ(events[1].kind, Kind::Move);
  EXPECT_EQ(events[1].x, -3.f);
  EXPECT_EQ(events[2].kind, Kind::Release);
  EXPECT_EQ(events[2].button, Button::Left);
  EXPECT_EQ(events[3].kind, Kind::DoubleClick);
  EXPECT_EQ(events[4].kind, Kind::Wheel);
  EXPECT_EQ(events[4].notches, -1.5);
  // "key" is a press and a release; virtual keys as Windows numbers them.
  EXPECT_EQ(events[5].kind, Kind::KeyDown);
  EXPECT_EQ(events[5].virtualKey, 'A');
  EXPECT_EQ(events[6].kind, Kind::KeyUp);
  EXPECT_EQ(events[7].virtualKey, 0x10u);
  EXPECT_EQ(events[8].kind, Kind::KeyUp);
  EXPECT_EQ(events[8].virtualKey, 0x7Bu);
  EXPECT_EQ(events[9].kind, Kind::Wait);
  EXPECT_EQ(events[9].frames, 3);
  // A drag in two steps: press, two moves, release at the end point.
  EXPECT_EQ(events[10].kind, Kind::Press);
  EXPECT_EQ(events[11].kind, Kind::Move);
  EXPECT_EQ(events[11].x, 5.f);
  EXPECT_EQ(events[11].y, -10.f);
  EXPECT_EQ(events[12].y, -20.f);
  EXPECT_EQ(events[13].kind, Kind::Release);
}

TEST(EditorScript, AnythingElseNamesItsLine)
{
  struct Case
  {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
    {"shake 1 2", "script line 1: unknown event 'shake'"},
    {"move 1\n", "missing y"},
    {"\nmove 1 two", "script line 2: 'two' is no number for y"},
    {"move 1 nan", "no number"},
    {"move 1 inf", "no number"},
    {"move 1 2 3", "unexpected '3'"},
    {"press 1 2 sideways", "no button"},
    {"double 1 2 middle", "no button"},
    {"move 1e9 2", "out of reach"},
    {"drag 0 0 1 1 0", "step count"},
    {"drag 0 0 1 1 x", "step count"},
    {"wheel 1 2", "missing notches"},
    {"wheel 1 2 5000", "notches"},
    {"key", "missing key name"},
    {"key f13", "unknown key 'f13'"},
    {"key ab", "unknown key 'ab'"},
    {"wait -1", "whole number"},
    {"wait 1.5", "whole number"},
  };
  for (const Case& c : cases)
  {
    try
    {
      ParseEditorScript(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    }
    catch (const aaxhost::CommandError& e)
    {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.text << " -> " << e.what();
    }
  }
}

} // namespace

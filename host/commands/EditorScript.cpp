#include "EditorScript.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "ParameterSettings.h"

namespace aaxhost {

namespace {

using Event = EditorScriptEvent;

// Virtual-key codes, as Windows numbers them.
const std::map<std::string, unsigned>& NamedKeys()
{
  static const std::map<std::string, unsigned> keys = {
    {"backspace", 0x08}, {"tab", 0x09},    {"enter", 0x0D},  {"shift", 0x10},  {"ctrl", 0x11},
    {"alt", 0x12},       {"escape", 0x1B}, {"space", 0x20},  {"pageup", 0x21}, {"pagedown", 0x22},
    {"end", 0x23},       {"home", 0x24},   {"left", 0x25},   {"up", 0x26},     {"right", 0x27},
    {"down", 0x28},      {"delete", 0x2E},
  };
  return keys;
}

class LineReader
{
public:
  LineReader(const std::string& line, int number) : mWords(line), mNumber(number) {}

  [[noreturn]] void Fail(const std::string& what) const
  {
    throw CommandError("script line " + std::to_string(mNumber) + ": " + what);
  }

  bool Word(std::string& word) { return static_cast<bool>(mWords >> word); }

  double Number(const char* what)
  {
    std::string word;
    if (!Word(word))
      Fail(std::string("missing ") + what);
    std::istringstream text(word);
    double value = 0.0;
    char rest = 0;
    if (!(text >> value) || text >> rest || !std::isfinite(value))
      Fail(std::string("'") + word + "' is no number for " + what);
    return value;
  }

  float Coordinate(const char* what)
  {
    const double value = Number(what);
    // Far outside any window: the display could not place the pointer there.
    if (std::fabs(value) > 100000.0)
      Fail(std::string(what) + " is out of reach");
    return static_cast<float>(value);
  }

  Event::Button Button(Event::Button fallback, bool middleAllowed = true)
  {
    std::string word;
    if (!Word(word))
      return fallback;
    if (word == "left")
      return Event::Button::Left;
    if (word == "right")
      return Event::Button::Right;
    if (word == "middle" && middleAllowed)
      return Event::Button::Middle;
    Fail("'" + word + "' is no button here");
  }

  unsigned Key()
  {
    std::string word;
    if (!Word(word))
      Fail("missing key name");
    std::string lower = word;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0])))
      return static_cast<unsigned>(std::toupper(static_cast<unsigned char>(lower[0])));
    if (const auto found = NamedKeys().find(lower); found != NamedKeys().end())
      return found->second;
    if (lower.size() >= 2 && lower[0] == 'f' && std::all_of(lower.begin() + 1, lower.end(), ::isdigit))
    {
      const int n = std::stoi(lower.substr(1));
      if (n >= 1 && n <= 12)
        return 0x70u + static_cast<unsigned>(n - 1);
    }
    Fail("unknown key '" + word + "'");
  }

  void End()
  {
    std::string word;
    if (Word(word))
      Fail("unexpected '" + word + "'");
  }

  int Line() const { return mNumber; }

private:
  std::istringstream mWords;
  int mNumber;
};

Event At(Event::Kind kind, float x, float y, int line)
{
  Event e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  e.line = line;
  return e;
}

} // namespace

std::vector<EditorScriptEvent> ParseEditorScript(const std::string& text)
{
  std::vector<Event> events;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line))
  {
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string::npos)
      line.erase(hash);
    LineReader in(line, number);
    std::string verb;
    if (!in.Word(verb))
      continue;

    if (verb == "press" || verb == "release" || verb == "double")
    {
      const float x = in.Coordinate("x");
      const float y = in.Coordinate("y");
      Event e = At(verb == "press" ? Event::Kind::Press : verb == "release" ? Event::Kind::Release : Event::Kind::DoubleClick,
                   x, y, number);
      e.button = in.Button(Event::Button::Left, verb != "double");
      events.push_back(e);
    }
    else if (verb == "move")
    {
      const float x = in.Coordinate("x");
      const float y = in.Coordinate("y");
      events.push_back(At(Event::Kind::Move, x, y, number));
    }
    else if (verb == "drag")
    {
      const float x1 = in.Coordinate("x1");
      const float y1 = in.Coordinate("y1");
      const float x2 = in.Coordinate("x2");
      const float y2 = in.Coordinate("y2");
      std::string word;
      int steps = 10;
      if (in.Word(word))
      {
        std::istringstream count(word);
        char rest = 0;
        if (!(count >> steps) || count >> rest || steps < 1 || steps > 10000)
          in.Fail("'" + word + "' is no step count from 1 to 10000");
      }
      events.push_back(At(Event::Kind::Press, x1, y1, number));
      for (int i = 1; i <= steps; ++i)
      {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        events.push_back(At(Event::Kind::Move, x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, number));
      }
      events.push_back(At(Event::Kind::Release, x2, y2, number));
    }
    else if (verb == "wheel")
    {
      const float x = in.Coordinate("x");
      const float y = in.Coordinate("y");
      Event e = At(Event::Kind::Wheel, x, y, number);
      e.notches = in.Number("notches");
      if (std::fabs(e.notches) > 1000.0)
        in.Fail("more than 1000 notches at once");
      events.push_back(e);
    }
    else if (verb == "key" || verb == "keydown" || verb == "keyup")
    {
      const unsigned key = in.Key();
      Event e = At(verb == "keyup" ? Event::Kind::KeyUp : Event::Kind::KeyDown, 0.f, 0.f, number);
      e.virtualKey = key;
      events.push_back(e);
      if (verb == "key")
      {
        e.kind = Event::Kind::KeyUp;
        events.push_back(e);
      }
    }
    else if (verb == "wait")
    {
      const double frames = in.Number("frames");
      if (frames < 0.0 || frames > 100000.0 || frames != std::floor(frames))
        in.Fail("wait takes a whole number of frames from 0 to 100000");
      Event e = At(Event::Kind::Wait, 0.f, 0.f, number);
      e.frames = static_cast<int>(frames);
      events.push_back(e);
    }
    else
    {
      in.Fail("unknown event '" + verb + "'");
    }
    in.End();
  }
  return events;
}

} // namespace aaxhost

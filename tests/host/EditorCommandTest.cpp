#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "CommandRunner.h"

namespace {

using nlohmann::json;

struct Picture
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4]; }
};

Picture LoadPng(const std::filesystem::path& path)
{
  Picture p;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 4);
  if (!data)
    return Picture{};
  p.rgba.assign(data, data + static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 4);
  stbi_image_free(data);
  return p;
}

// Mean absolute difference per channel between two pictures of one size, inside the box.
double MeanDifference(const Picture& a, const Picture& b, int left, int top, int right, int bottom)
{
  double sum = 0.0;
  size_t n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      for (int c = 0; c < 3; ++c, ++n)
        sum += std::abs(static_cast<int>(a.At(x, y)[c]) - static_cast<int>(b.At(x, y)[c]));
  return n ? sum / static_cast<double>(n) : 0.0;
}

// How many pixels inside the box differ clearly (by more than 40 in some channel).
int ChangedPixels(const Picture& a, const Picture& b, int left, int top, int right, int bottom)
{
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(static_cast<int>(a.At(x, y)[c]) - static_cast<int>(b.At(x, y)[c])) > 40)
        {
          ++n;
          break;
        }
  return n;
}

// The picture at half its size, each pixel the mean of four.
Picture Halved(const Picture& p)
{
  Picture h;
  h.width = p.width / 2;
  h.height = p.height / 2;
  h.rgba.resize(static_cast<size_t>(h.width) * static_cast<size_t>(h.height) * 4);
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x)
      for (int c = 0; c < 4; ++c)
        h.rgba[(static_cast<size_t>(y) * static_cast<size_t>(h.width) + static_cast<size_t>(x)) * 4 + static_cast<size_t>(c)] = static_cast<uint8_t>(
          (p.At(2 * x, 2 * y)[c] + p.At(2 * x + 1, 2 * y)[c] + p.At(2 * x, 2 * y + 1)[c] + p.At(2 * x + 1, 2 * y + 1)[c] + 2) / 4);
  return h;
}

void WriteText(const std::filesystem::path& path, const std::string& text)
{
  std::ofstream(path) << text;
}

// The product's state: the editor record (width, height, zoom) and six parameter values.
void WriteState(const std::filesystem::path& path, int32_t width, int32_t height, float zoom)
{
  std::vector<uint8_t> bytes(60, 0);
  std::memcpy(bytes.data(), &width, 4);
  std::memcpy(bytes.data() + 4, &height, 4);
  std::memcpy(bytes.data() + 8, &zoom, 4);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 60);
}

class EditorCommand : public testing::Test
{
protected:
  // Runs `aaxhost editor` with the picture at `png` and JSON output; the report, or null on failure.
  json Run(const std::string& png, std::vector<std::string> args = {})
  {
    args.insert(args.begin(), {"editor", "--png", (scratch / png).string(), "--json"});
    last = RunAaxhost(args, scratch.Path());
    if (last.status != 0)
      return nullptr;
    return json::parse(last.out, nullptr, false);
  }

  ScratchFolder scratch{"editor"};
  CommandResult last;
};

const json* ParameterOf(const json& report, const std::string& id)
{
  for (const auto& p : report["parameters"])
    if (p["id"] == id)
      return &p;
  return nullptr;
}

const json* AutomationOf(const json& report, const std::string& id)
{
  for (const auto& record : report["automation"])
    if (record["id"] == id)
      return &record;
  return nullptr;
}

} // namespace

TEST_F(EditorCommand, KnobDragChangesTheKnobShowsTheBubbleAndReachesTheHostsAutomation)
{
  const json plain = Run("default.png");
  ASSERT_FALSE(plain.is_null()) << last.err;
  EXPECT_EQ(plain["window"], (json{{"width", 1086}, {"height", 214}}));
  EXPECT_EQ(plain["hostWindow"], (json{{"width", 1086}, {"height", 214}}));
  EXPECT_TRUE(plain["automation"].empty());
  const Picture face = LoadPng(scratch / "default.png");
  ASSERT_EQ(face.width, 1086);
  ASSERT_EQ(face.height, 214);

  // Up 100 pixels on the "Gain" knob, in ten steps, the button still held: the bubble stays for
  // as long as the knob is held, so the picture shows it whatever the machine's pace.
  std::string held = "# the Gain knob, up by 100\npress 128 96\n";
  for (int i = 1; i <= 10; ++i)
    held += "move 128 " + std::to_string(96 - 10 * i) + "\n";
  WriteText(scratch / "held.txt", held);
  const json holding = Run("held.png", {"--input", (scratch / "held.txt").string()});
  ASSERT_FALSE(holding.is_null()) << last.err;
  const Picture turned = LoadPng(scratch / "held.png");
  ASSERT_EQ(turned.width, 1086);
  ASSERT_EQ(turned.height, 214);
  EXPECT_GT(ChangedPixels(face, turned, 63, 31, 193, 161), 40) << "the knob shows another frame";
  EXPECT_GT(ChangedPixels(face, turned, 103, 163, 153, 181), 150) << "the bubble below the knob";
  EXPECT_EQ(ChangedPixels(face, turned, 103, 4, 153, 30), 0) << "nothing above the knob";
  EXPECT_EQ(ChangedPixels(face, turned, 337, 31, 1021, 161), 0) << "the other knobs stay as they were";

  // Released: the host saw the whole gesture on "1" and nothing else.
  WriteText(scratch / "drag.txt", "drag 128 96 128 -4 10\n");
  const json dragged = Run("drag.png", {"--input", (scratch / "drag.txt").string()});
  ASSERT_FALSE(dragged.is_null()) << last.err;
  EXPECT_GT(ChangedPixels(face, LoadPng(scratch / "drag.png"), 63, 31, 193, 161), 40);
  // 100 pixels at gearing 4 over a 130-pixel knob: 0.5 + 100 / 520.
  const json* gainValue = ParameterOf(dragged, "1");
  ASSERT_NE(gainValue, nullptr);
  EXPECT_NEAR((*gainValue)["normalized"].get<double>(), 0.5 + 100.0 / 520.0, 2e-3);
  const json* gain = AutomationOf(dragged, "1");
  ASSERT_NE(gain, nullptr) << dragged.dump();
  EXPECT_GE((*gain)["touch"].get<int>(), 1);
  EXPECT_GE((*gain)["setValueRequests"].size(), 1u);
  EXPECT_EQ((*gain)["touch"], (*gain)["release"]);
  EXPECT_EQ((*gain)["sequence"].front(), "touch");
  EXPECT_EQ((*gain)["sequence"].back(), "release");
  EXPECT_NEAR((*gain)["setValueRequests"].back().get<double>(), 0.5 + 100.0 / 520.0, 2e-3);
  EXPECT_EQ(dragged["automation"].size(), 1u) << "no other parameter was touched";
  EXPECT_EQ(dragged["parameterClicks"].size(), 1u) << "the press was offered to the host first";
  // While held, the gesture is still open: one touch more than releases.
  const json* open = AutomationOf(holding, "1");
  ASSERT_NE(open, nullptr);
  EXPECT_EQ((*open)["touch"].get<int>(), (*open)["release"].get<int>() + 1);

  // A host that takes parameter clicks keeps the knob from moving.
  const json taken = Run("taken.png", {"--input", (scratch / "drag.txt").string(), "--host-takes-clicks"});
  ASSERT_FALSE(taken.is_null()) << last.err;
  ASSERT_NE(ParameterOf(taken, "1"), nullptr);
  EXPECT_EQ((*ParameterOf(taken, "1"))["normalized"].get<double>(), 0.5);
  EXPECT_TRUE(taken["automation"].empty());
}

TEST_F(EditorCommand, CornerHandleAndRestoredZoomGiveTheFaceAtTwiceItsSize)
{
  ASSERT_FALSE(Run("default.png").is_null()) << last.err;
  const Picture face = LoadPng(scratch / "default.png");
  ASSERT_EQ(face.width, 1086);

  // Zoom pictures match the plain face, apart from the corner handle the pointer may rest on.
  const auto sameLayout = [&](const Picture& zoomed) {
    ASSERT_EQ(zoomed.width, 2172);
    ASSERT_EQ(zoomed.height, 428);
    EXPECT_LT(MeanDifference(face, Halved(zoomed), 0, 0, 1086, 190), 6.0);
    EXPECT_LT(MeanDifference(face, Halved(zoomed), 0, 190, 1060, 214), 6.0);
  };

  WriteText(scratch / "corner.txt", "drag 1078 206 2400 480 12\n");
  const json dragged = Run("corner.png", {"--input", (scratch / "corner.txt").string()});
  ASSERT_FALSE(dragged.is_null()) << last.err;
  EXPECT_EQ(dragged["window"], (json{{"width", 2172}, {"height", 428}}));
  EXPECT_EQ(dragged["hostWindow"], (json{{"width", 2172}, {"height", 428}})) << "the host followed the editor";
  sameLayout(LoadPng(scratch / "corner.png"));

  // A state saved at zoom 2 opens the editor at that size, whether from a file or --zoom.
  WriteState(scratch / "zoomed.state", 1086, 214, 2.f);
  const json restored = Run("restored.png", {"--state", (scratch / "zoomed.state").string()});
  ASSERT_FALSE(restored.is_null()) << last.err;
  EXPECT_EQ(restored["window"], (json{{"width", 2172}, {"height", 428}}));
  EXPECT_EQ(restored["hostWindow"], (json{{"width", 2172}, {"height", 428}}));
  sameLayout(LoadPng(scratch / "restored.png"));
  const json zoomed = Run("zoom.png", {"--zoom", "2"});
  ASSERT_FALSE(zoomed.is_null()) << last.err;
  EXPECT_EQ(zoomed["window"], (json{{"width", 2172}, {"height", 428}}));

  // A display at 192 dots per inch: twice the pixels at zoom 1, the same face.
  const json dense = Run("dense.png", {"--dpi", "192"});
  ASSERT_FALSE(dense.is_null()) << last.err;
  EXPECT_EQ(dense["window"], (json{{"width", 2172}, {"height", 428}}));
  sameLayout(LoadPng(scratch / "dense.png"));
}

TEST_F(EditorCommand, BadInputExitsWithOneMessageAndWritesNoPicture)
{
  WriteText(scratch / "bad.txt", "press 10 10\nshake 3 4\n");
  WriteText(scratch / "short.state", "12345");
  struct Case
  {
    std::vector<std::string> args;
    int status; // 2: the command line asks for what the editor does not take; 1: the run failed
    const char* message;
  };
  const std::string png = (scratch / "out.png").string();
  const Case cases[] = {
    {{"editor", "--png", (scratch / "no" / "such" / "out.png").string()}, 1, "cannot write picture '"},
    {{"editor", "--png", png, "--input", (scratch / "bad.txt").string()}, 1, "script line 2: unknown event 'shake'"},
    {{"editor", "--png", png, "--input", (scratch / "missing.txt").string()}, 1, "not a readable file"},
    {{"editor", "--png", png, "--frames", "-1"}, 2, "--frames"},
    {{"editor", "--png", png, "--dpi", "0"}, 2, "--dpi"},
    {{"editor", "--png", png, "--zoom", "-2"}, 2, "--zoom"},
    // The editor takes half to twice its size: a zoom it would clamp, or 0, is not opened at another.
    {{"editor", "--png", png, "--zoom", "3"}, 2, "--zoom"},
    {{"editor", "--png", png, "--zoom", "0"}, 2, "--zoom"},
    {{"editor", "--png", png, "--state", (scratch / "short.state").string()}, 1, "holds 5 bytes"},
    {{"editor", "--png", png, "--param", "Nope=1"}, 1, "Nope"},
    {{"editor", "--png", png, "--save-state", (scratch / "no" / "such.state").string()},
     1,
     "cannot write state file '"},
  };
  for (const Case& c : cases)
  {
    const CommandResult r = RunAaxhost(c.args, scratch.Path());
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_EQ(r.err.rfind("aaxhost: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(std::filesystem::exists(png)) << c.message;
  }
}

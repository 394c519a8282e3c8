#include <xkbcommon/xkbcommon-keysyms.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>


#include "HeapInUse.h"
#include "IParam.h"
#include "X11EditorFixture.h"
#include "X11KeyCodes.h"

namespace x11test {

namespace {

using iplug::igraphics::IGraphicsX11;

// The Gain knob's centre and the corner handle, in the face's logical pixels.
constexpr int kGainX = 128, kGainY = 96;
constexpr int kCornerX = 1078, kCornerY = 206;

struct DensityCase
{
  int dpi;
  float scale;
  int width, height;
};

class X11EditorDensityTest : public X11EditorFixture, public ::testing::WithParamInterface<DensityCase>
{
};

// What the process's allocations hold (the driver's included), not its resident size: the
// resident size swings by tens of megabytes as the allocator trims or keeps the freed pictures and
// framebuffers, which would hide a leak or invent one.
long HeapInUseKiB()
{
  return static_cast<long>(compat::HeapBytesInUse() / 1024.0);
}

long OpenFileCount()
{
  long n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++n;
  return n;
}

} // namespace

// The face the X server shows is the face of the committed references, at every density.
TEST_P(X11EditorDensityTest, ScreenshotMatchesTheReference)
{
  const DensityCase c = GetParam();
  SetDpi(c.dpi);
  ASSERT_NE(Open(), 0u);
  EXPECT_FLOAT_EQ(delegate->Graphics()->GetScreenScale(), c.scale);

  int w = 0, h = 0;
  WindowSize(editor, w, h);
  EXPECT_EQ(w, c.width);
  EXPECT_EQ(h, c.height);
  ASSERT_EQ(delegate->resizes.size() >= 1, true);
  EXPECT_EQ(delegate->resizes.back().width, c.width);

  const Picture shown = Capture(editor);
  const std::string name = "editor-" + std::to_string(c.dpi) + "dpi";
  const Picture reference = LoadPng(std::string(CORVANE_REFERENCE_DIR) + "/" + name + ".png");
  ASSERT_GT(reference.width, 0);
  const long different = CountDifferentPixels(shown, reference, 8);
  const long allowed = static_cast<long>(reference.width) * reference.height / 5000;
  if (different < 0 || different > allowed)
    SavePng(shown, name + "-x11-actual.png");
  EXPECT_GE(different, 0) << "size " << shown.width << "x" << shown.height;
  EXPECT_LE(different, allowed) << "the picture taken is " << name << "-x11-actual.png";
}

INSTANTIATE_TEST_SUITE_P(Densities, X11EditorDensityTest,
                         ::testing::Values(DensityCase{96, 1.f, 1086, 214}, DensityCase{144, 1.5f, 1629, 321},
                                           DensityCase{192, 2.f, 2172, 428}),
                         [](const auto& test) { return std::to_string(test.param.dpi) + "dpi"; });

// A drag on a knob at 144 dpi turns that knob's parameter, and the host hears the gesture:
// touch, values, release, in that order, for that parameter only.
TEST_F(X11EditorFixture, KnobDragReachesTheParameterAndTheHost)
{
  SetDpi(144);
  ASSERT_NE(Open(), 0u);
  const double before = delegate->GetParam(kGain)->NormalizedValue();
  const int x = static_cast<int>(kGainX * 1.5), y = static_cast<int>(kGainY * 1.5);
  Drag(x, y, x, y - 150, 10);
  Idle(50);

  const double after = delegate->GetParam(kGain)->NormalizedValue();
  EXPECT_GT(after, before + 0.05);
  ASSERT_EQ(delegate->beginGestures, std::vector<int>{kGain});
  ASSERT_EQ(delegate->endGestures, std::vector<int>{kGain});
  ASSERT_FALSE(delegate->paramValues.empty());
  for (const auto& v : delegate->paramValues)
    EXPECT_EQ(v.paramIdx, kGain);
  EXPECT_DOUBLE_EQ(delegate->paramValues.back().value, after);
  for (int other : {kLowGain, kHighGain, kOutputLevel, kOversampling, kBypass})
    EXPECT_DOUBLE_EQ(delegate->GetParam(other)->Value(), delegate->GetParam(other)->Default());
}

// The wheel's buttons step a knob: 4 up, 5 down; a click on a switch flips it.
TEST_F(X11EditorFixture, WheelAndClicksReachTheControls)
{
  ASSERT_NE(Open(), 0u);
  const double start = delegate->GetParam(kGain)->NormalizedValue();
  Click(4, kGainX, kGainY);
  const double up = delegate->GetParam(kGain)->NormalizedValue();
  EXPECT_GT(up, start);
  Click(5, kGainX, kGainY);
  Click(5, kGainX, kGainY);
  EXPECT_LT(delegate->GetParam(kGain)->NormalizedValue(), start);

  // The bypass switch (524, 161) flips from off to on.
  Idle(500); // no double click with the wheel's presses
  Click(1, 540, 175);
  EXPECT_DOUBLE_EQ(delegate->GetParam(kBypass)->Value(), 1.0);
}

// Dragging the corner handle zooms the face: the window grows and the host is asked for the new
// size; a double click on the handle (two presses close in time and place) zooms back to 1.
TEST_F(X11EditorFixture, CornerDragResizesAndDoubleClickRestores)
{
  ASSERT_NE(Open(), 0u);
  Drag(kCornerX, kCornerY, 1600, 320, 12);
  Idle(100);
  int w = 0, h = 0;
  WindowSize(editor, w, h);
  EXPECT_GT(w, 1400);
  EXPECT_GT(delegate->Graphics()->GetDrawScale(), 1.3f);
  ASSERT_FALSE(delegate->resizes.empty());
  EXPECT_EQ(delegate->resizes.back().width, w);
  EXPECT_EQ(delegate->resizes.back().height, h);

  const float scale = delegate->Graphics()->GetDrawScale();
  const int cx = static_cast<int>(kCornerX * scale), cy = static_cast<int>(kCornerY * scale);
  Idle(500);
  Click(1, cx, cy);
  Click(1, cx, cy);
  Idle(100);
  WindowSize(editor, w, h);
  EXPECT_EQ(w, kFaceWidth);
  EXPECT_EQ(h, kFaceHeight);
}

// Keys the editor does not use go on to the host's window.
TEST_F(X11EditorFixture, UnusedKeysReachTheHost)
{
  ASSERT_NE(Open(), 0u);
  // A click gives the editor the keyboard.
  Click(1, 300, 10);
  parentKeys.clear();
  Key("space", true);
  Key("space", false);
  Idle(50);
  const unsigned int space = KeyCodeOf("space");
  ASSERT_FALSE(parentKeys.empty());
  EXPECT_EQ(parentKeys.front(), space);
}

// A host that destroys its window before closing the editor takes the editor's window with it;
// closing afterwards must not end the host on an X error.
TEST_F(X11EditorFixture, HostWindowDestroyedBeforeClosing)
{
  ASSERT_NE(Open(), 0u);
  DestroyParent();
  Idle(50);
  Close();
  EXPECT_EQ(delegate->GetUI(), nullptr);
}

// The desktop's density resource, read as the editor reads it.
TEST(X11Density, ScaleFromResources)
{
  struct Case
  {
    const char* resources;
    float scale;
  } const cases[] = {
    {"Xft.dpi:\t96\n", 1.f},        {"Xft.dpi: 144\n", 1.5f},          {"Xft.dpi:\t192\n", 2.f},
    {"Xft.antialias: 1\n", 1.f},    {"", 1.f},                         {"Xft.dpi: nonsense\n", 1.f},
    {"Xft.dpi: -96\n", 1.f},        {"Xft.dpi: 1e30\n", 1.f},          {"Xft.hinting: 1\nXft.dpi: 120\n", 1.25f},
  };
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(IGraphicsX11::ScaleFromResources(c.resources), c.scale) << c.resources;
  EXPECT_FLOAT_EQ(IGraphicsX11::ScaleFromResources(nullptr), 1.f);
}

// The framework's key codes for what XKB reports.
TEST(X11Keys, VirtualKeysFromKeysyms)
{
  using iplug::igraphics::VirtualKeyFromKeysym;
  struct Case
  {
    uint32_t keysym;
    int vk;
  } const cases[] = {
    {XKB_KEY_a, 'A'},          {XKB_KEY_Z, 'Z'},          {XKB_KEY_5, '5'},         {XKB_KEY_KP_7, 0x67},
    {XKB_KEY_F1, 0x70},        {XKB_KEY_F12, 0x7B},       {XKB_KEY_Return, 0x0D},   {XKB_KEY_KP_Enter, 0x0D},
    {XKB_KEY_Escape, 0x1B},    {XKB_KEY_BackSpace, 0x08}, {XKB_KEY_Tab, 0x09},      {XKB_KEY_space, 0x20},
    {XKB_KEY_Left, 0x25},      {XKB_KEY_Up, 0x26},        {XKB_KEY_Right, 0x27},    {XKB_KEY_Down, 0x28},
    {XKB_KEY_Home, 0x24},      {XKB_KEY_End, 0x23},       {XKB_KEY_Prior, 0x21},    {XKB_KEY_Next, 0x22},
    {XKB_KEY_Delete, 0x2E},    {XKB_KEY_Shift_L, 0x10},   {XKB_KEY_Control_R, 0x11}, {XKB_KEY_Alt_L, 0x12},
    {XKB_KEY_KP_Add, 0x6B},    {XKB_KEY_dead_acute, 0},   {XKB_KEY_EuroSign, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VirtualKeyFromKeysym(c.keysym), c.vk) << std::hex << c.keysym;
}

// What an X desktop has no common form for is refused, never half done.
TEST_F(X11EditorFixture, RefusedServicesFailCleanly)
{
  ASSERT_NE(Open(), 0u);
  IGraphicsX11& g = *delegate->Graphics();
  EXPECT_EQ(g.ShowMessageBox("text", "caption", iplug::igraphics::kMB_OK), iplug::igraphics::kNoResult);
  std::string file = "x", path = "y";
  g.PromptForFile(file, path);
  EXPECT_TRUE(file.empty() && path.empty());
  iplug::igraphics::IColor color;
  EXPECT_FALSE(g.PromptForColor(color));
  EXPECT_STREQ(g.GetPlatformAPIString(), "x11");
}

// Text put on the clipboard by one editor is read by another client through the server.
TEST_F(X11EditorFixture, ClipboardTextReachesAnotherEditor)
{
  ASSERT_NE(Open(), 0u);
  CorvaneTestDelegate other;
  ASSERT_NE(other.OpenEditorWindow(reinterpret_cast<void*>(parent)), nullptr);
  // Our own selection is answered without the server's round trip; another editor's is asked
  // for and answered while this one idles.
  ASSERT_TRUE(delegate->Graphics()->SetTextInClipboard("Gain 3.5 dB"));
  std::string text;
  EXPECT_TRUE(delegate->Graphics()->GetTextFromClipboard(text));
  EXPECT_EQ(text, "Gain 3.5 dB");

  ASSERT_TRUE(other.Graphics()->SetTextInClipboard("from the other"));
  Idle(20); // the first editor hears that it lost the selection
  // The owner answers from its idle call; run it meanwhile on a second connection's behalf.
  std::thread owner([&other] {
    for (int i = 0; i < 200; ++i)
    {
      other.Graphics()->OnIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  const bool read = delegate->Graphics()->GetTextFromClipboard(text);
  owner.join();
  other.CloseEditorWindow();
  EXPECT_TRUE(read);
  EXPECT_EQ(text, "from the other");
}

// Opening and closing a hundred times leaves no window, X resource, file or memory behind; the
// figures (and the mean opening time at each density) go to the test's output.
TEST_F(X11EditorFixture, OpeningAndClosingLeavesNothingBehind)
{
  struct Round
  {
    int dpi;
    int openings;
  } const rounds[] = {{96, 100}, {144, 10}, {192, 10}};
  for (const Round& round : rounds)
  {
    SetDpi(round.dpi);
    // Warm-up: fonts, caches and the GL driver settle in the first openings, and the driver's
    // pools only in the first frame drawn, so the warm-up draws one as the measured openings do.
    for (int i = 0; i < 2; ++i)
    {
      ASSERT_NE(Open(), 0u);
      Idle(40);
      Close();
    }
    const long filesBefore = OpenFileCount();
    const long memoryBefore = HeapInUseKiB();
    long memoryHalfway = memoryBefore;
    double openSeconds = 0.0;
    for (int i = 0; i < round.openings; ++i)
    {
      if (i == round.openings / 2)
        memoryHalfway = HeapInUseKiB();
      const auto start = std::chrono::steady_clock::now();
      ASSERT_NE(delegate->OpenEditorWindow(reinterpret_cast<void*>(parent)), nullptr);
      openSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      // Now and then a frame is drawn, with the window shown, before it closes.
      Idle(i % 10 == 0 ? 40 : 0);
      Close();
    }
    EXPECT_EQ(ChildCount(), 0);
    EXPECT_EQ(OpenFileCount(), filesBefore);
    const long memoryAfter = HeapInUseKiB();
    std::printf("[ figures  ] %d dpi: %d openings, mean opening %.1f ms, heap in use %+ld KiB "
                "(%+ld KiB in the second half), open files %ld\n",
                round.dpi, round.openings, 1000.0 * openSeconds / round.openings, memoryAfter - memoryBefore,
                memoryAfter - memoryHalfway, OpenFileCount());
    // A face left behind costs megabytes per opening (its pictures alone); the allocator's heap
    // settling after the larger framebuffers of a new density costs a few, once.
    EXPECT_LT(memoryAfter - memoryBefore, 32 * 1024);
    EXPECT_LT(memoryAfter - memoryHalfway, round.openings >= 100 ? 8 * 1024 : 32 * 1024);
  }
}

} // namespace x11test

#include "WindowLayerFixture.h"

#include <algorithm>
#include <cmath>

#include "Corvane.h"
#include "IPlugLogger.h"

using namespace wintest;
namespace display = testdisplay;

namespace {

using WindowLayer = WindowLayerFixture;

// A context on a machine whose OpenGL has none of the entry points the renderer needs.
class GraphicsWithoutRenderer : public IGraphicsWin
{
public:
  using IGraphicsWin::IGraphicsWin;

protected:
  iplug::igraphics::renderer::GetProcAddressFn GetGLProcAddress() const override
  {
    return [](const char*) -> void* { return nullptr; };
  }
};

// An opening that fails is seen by the host (no window comes back, so the editor bridge answers
// with an error) and leaves nothing of the attempt: no context, window, clock thread, device or
// GL context, and no window class registered for it.
TEST_F(WindowLayer, AnEditorThatCannotOpenSaysSoAndLeavesNothingBehind)
{
  struct Case
  {
    const char* name;
    bool withRenderer;
    bool parentGone; // the host hands over a window it has already destroyed
    const char* trace; // what the attempt traces, or null
  };
  const Case cases[] = {
    {"no renderer", false, false, "the editor window has no renderer"},
    {"the window cannot be created", true, true, nullptr},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    HWND parent = container;
    if (c.parentGone)
    {
      parent = ui->Run([&] {
        HWND gone = CreateWindowExW(0, L"CorvaneTestHost", L"Gone", WS_CHILD, 0, 0, kEditorWidth, kEditorHeight, host,
                                    nullptr, nullptr, nullptr);
        DestroyWindow(gone);
        return gone;
      });
    }
    const display::Objects before = display::LiveObjects();
    std::vector<std::string> traces;
    iplug::SetTraceSink([&traces](const char*, int, const char* message) { traces.push_back(message); });
    auto& d = AddEditor();
    if (!c.withRenderer)
    {
      d.SetMakeGraphicsFunc([&d] {
        auto* g = new GraphicsWithoutRenderer(&d, kEditorWidth, kEditorHeight, 60, 1.f);
        g->SetModuleInstance(GetModuleHandleW(nullptr));
        return g;
      });
    }
    ui->Run([&] {
      EXPECT_EQ(d.OpenEditorWindow(parent), nullptr);
      EXPECT_EQ(d.GetUI(), nullptr);
      EXPECT_EQ(GetWindow(container, GW_CHILD), nullptr);
      WNDCLASSW wc{};
      EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), L"IPlugWndClass", &wc));
    });
    iplug::SetTraceSink(nullptr);
    if (c.trace)
    {
      EXPECT_NE(std::find(traces.begin(), traces.end(), c.trace), traces.end());
    }
    // The clock thread among them: it is a kernel handle of its own.
    EXPECT_TRUE(WaitUntil([&] { return display::LiveObjects() == before; }));

    // The failure is not remembered: the next opening, in a window that exists, works.
    if (c.parentGone)
    {
      ui->Run([&] {
        EXPECT_NE(d.OpenEditorWindow(container), nullptr);
        d.CloseEditorWindow();
      });
    }
  }
}

TEST_F(WindowLayer, OpensAVisibleChildOfTheHostsContainerAtTheEditorsSize)
{
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);

  ui->Run([&] {
    EXPECT_EQ(graphics->GetPlatformWindow(), hwnd);
    EXPECT_TRUE(graphics->PlatformWindowIsOpen());
    EXPECT_STREQ(graphics->GetPlatformAPIString(), "win32");
    EXPECT_EQ(GetParent(hwnd), container);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    wchar_t text[16] = {};
    GetClassNameW(hwnd, text, 16);
    EXPECT_STREQ(text, L"IPlugWndClass");
    GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(text, L"IPlug");
    EXPECT_EQ(GetFocus(), hwnd);
    EXPECT_EQ(graphics->NControls(), 2);
  });
  const SIZE size = ClientSize(hwnd);
  EXPECT_EQ(size.cx, kEditorWidth);
  EXPECT_EQ(size.cy, kEditorHeight);
}

TEST_F(WindowLayer, AClickReachesTheEditorInLogicalPixels)
{
  struct Case
  {
    UINT dpi;
    float expectedX, expectedY;
  };
  for (const Case c : {Case{96, 100.f, 50.f}, Case{192, 50.f, 25.f}})
  {
    SCOPED_TRACE(c.dpi);
    TearDown();
    SetUp();
    ASSERT_TRUE(ui->Run([&] { return display::SetWindowDpi(host, c.dpi); }));
    HWND hwnd = Open();

    ASSERT_TRUE(display::Click(hwnd, 100, 50));
    ASSERT_TRUE(UiWaitUntil([&] { return probe->ups.size() == 1; }));
    ui->Run([&] {
      ASSERT_EQ(probe->downs.size(), 1u);
      EXPECT_FLOAT_EQ(probe->downs[0].x, c.expectedX);
      EXPECT_FLOAT_EQ(probe->downs[0].y, c.expectedY);
      EXPECT_TRUE(probe->downs[0].mods.L);
      EXPECT_FALSE(probe->downs[0].mods.R);
      // The press took the capture and the release gave it back.
      EXPECT_EQ(GetCapture(), nullptr);
    });
  }
}

TEST_F(WindowLayer, AtTwiceTheDensityTheWindowIsTwiceAsLarge)
{
  ASSERT_TRUE(ui->Run([&] { return display::SetWindowDpi(host, 192); }));
  HWND hwnd = Open();
  const SIZE size = ClientSize(hwnd);
  EXPECT_EQ(size.cx, 2 * kEditorWidth);
  EXPECT_EQ(size.cy, 2 * kEditorHeight);
  EXPECT_EQ(ui->Run([&] { return graphics->GetScreenScale(); }), 2.f);
}

TEST_F(WindowLayer, TheWheelCountsWholeNotchesAtTheClientPosition)
{
  HWND hwnd = Open();
  const int amounts[] = {240, -120, 60};
  const float notches[] = {2.f, -1.f, 0.f};
  for (int amount : amounts)
    ASSERT_TRUE(display::MouseWheel(hwnd, 30, 40, amount));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->wheels.size() == 3; }));
  ui->Run([&] {
    for (size_t i = 0; i < 3; ++i)
    {
      EXPECT_EQ(probe->wheels[i].dX, notches[i]) << "amount " << amounts[i];
      EXPECT_FLOAT_EQ(probe->wheels[i].x, 30.f);
      EXPECT_FLOAT_EQ(probe->wheels[i].y, 40.f);
    }
  });
}

TEST_F(WindowLayer, KeysTheEditorDoesNotUseGoOnToTheHostsRootWindow)
{
  HWND hwnd = Open();
  // Keys go to the control under the pointer.
  ASSERT_TRUE(display::MouseMove(hwnd, 50, 50));

  ASSERT_TRUE(display::KeyPress(hwnd, 'A'));
  ASSERT_TRUE(UiWaitUntil([&] { return hostKeys.messages.size() == 2; }));
  ui->Run([&] {
    EXPECT_EQ(hostKeys.messages[0], std::make_pair(UINT(WM_KEYDOWN), WPARAM('A')));
    EXPECT_EQ(hostKeys.messages[1], std::make_pair(UINT(WM_KEYUP), WPARAM('A')));
    // The root, not the container in between.
    EXPECT_TRUE(containerKeys.messages.empty());
    ASSERT_FALSE(probe->keys.empty());
    EXPECT_EQ(probe->keys[0].VK, 'A');
    EXPECT_STREQ(probe->keys[0].utf8, "a");
    probe->consumeKeys = true;
    hostKeys.messages.clear();
  });

  // A key the editor takes stays there (its release is not taken and goes on).
  ASSERT_TRUE(display::KeyDown(hwnd, VK_SHIFT));
  ASSERT_TRUE(display::KeyPress(hwnd, 'B'));
  ASSERT_TRUE(display::KeyUp(hwnd, VK_SHIFT));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->keys.size() == 3; }));
  ui->Run([&] {
    EXPECT_EQ(probe->keys[2].VK, 'B');
    EXPECT_STREQ(probe->keys[2].utf8, "B");
    EXPECT_TRUE(probe->keys[2].S);
    for (const auto& m : hostKeys.messages)
      EXPECT_FALSE(m.first == WM_KEYDOWN && m.second == 'B');
  });
}

TEST_F(WindowLayer, ADragMovesByTheDifferenceAndALockedCursorReturns)
{
  HWND hwnd = Open();
  ui->Run([&] { probe->onMouseDown = [this] { graphics->HideMouseCursor(true, true); }; });

  ASSERT_TRUE(display::MouseDown(hwnd, 10, 10));
  ASSERT_TRUE(display::MouseMove(hwnd, 30, 25));
  ASSERT_TRUE(UiWaitUntil([&] { return !probe->drags.empty(); }));
  ui->Run([&] {
    EXPECT_FLOAT_EQ(probe->drags[0].dX, 20.f);
    EXPECT_FLOAT_EQ(probe->drags[0].dY, 15.f);
    EXPECT_TRUE(probe->drags[0].mods.L);
    EXPECT_TRUE(graphics->CursorIsHidden());
    EXPECT_FALSE(display::CursorVisible());
    // The cursor went back to where the press was.
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 10);
    EXPECT_EQ(GetCapture(), hwnd);
  });

  ASSERT_TRUE(display::MouseUp(hwnd, 10, 10));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->ups.size() == 1; }));
  ui->Run([&] {
    graphics->HideMouseCursor(false);
    EXPECT_TRUE(display::CursorVisible());
    EXPECT_FALSE(graphics->CursorIsLocked());
  });
}

TEST_F(WindowLayer, AMiddleClickCarriesNoButtonAndGivesTheCaptureBack)
{
  HWND hwnd = Open();
  ASSERT_TRUE(display::MouseDown(hwnd, 60, 30, display::Button::Middle));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->downs.size() == 1; }));
  ui->Run([&] {
    EXPECT_FALSE(probe->downs[0].mods.L);
    EXPECT_FALSE(probe->downs[0].mods.R);
    EXPECT_EQ(GetCapture(), hwnd);
  });
  ASSERT_TRUE(display::MouseUp(hwnd, 60, 30, display::Button::Middle));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->ups.size() == 1; }));
  ui->Run([&] {
    EXPECT_FALSE(probe->ups[0].mods.L);
    EXPECT_EQ(GetCapture(), nullptr);
  });
}

TEST_F(WindowLayer, PenAndTouchPromotedToMouseMessagesAreNotClicks)
{
  HWND hwnd = Open();
  for (ULONG_PTR signature : {display::kPenSignature, display::kTouchSignature})
  {
    ASSERT_TRUE(display::MouseDown(hwnd, 20, 20, display::Button::Left, signature));
    ASSERT_TRUE(display::MouseUp(hwnd, 20, 20, display::Button::Left, signature));
  }
  ASSERT_TRUE(display::Click(hwnd, 40, 30));
  // Releases are not filtered, but with nothing pressed no control has the pointer to release.
  ASSERT_TRUE(UiWaitUntil([&] { return probe->ups.size() == 1; }));
  ui->Run([&] {
    ASSERT_EQ(probe->downs.size(), 1u);
    EXPECT_FLOAT_EQ(probe->downs[0].x, 40.f);
  });
}

TEST_F(WindowLayer, TouchContactsArriveAsOneEventEachWithTheirIdentifiers)
{
  ASSERT_TRUE(display::SetDigitizer(NID_INTEGRATED_TOUCH | NID_MULTI_INPUT | NID_READY, 10));
  HWND hwnd = Open([](IGraphics* g) { g->EnableMultiTouch(g->PlatformSupportsMultiTouch()); });
  ui->Run([&] {
    EXPECT_TRUE(IsTouchWindow(hwnd, nullptr));
    probe->SetWantsMultiTouch(true);
  });

  using Contact = display::TouchContact;
  ASSERT_TRUE(display::Touch(hwnd, {Contact{7, 50, 40, Contact::Phase::Down, 4, 4}, Contact{9, 200, 60, Contact::Phase::Down}}));
  ASSERT_TRUE(display::Touch(hwnd, {Contact{7, 56, 44, Contact::Phase::Move}}));
  ASSERT_TRUE(display::Touch(hwnd, {Contact{7, 56, 44, Contact::Phase::Up}, Contact{9, 200, 60, Contact::Phase::Up}}));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->ups.size() == 2; }));
  ui->Run([&] {
    ASSERT_EQ(probe->downs.size(), 2u);
    EXPECT_EQ(probe->downs[0].mods.touchID, 7u);
    EXPECT_FLOAT_EQ(probe->downs[0].x, 50.f);
    EXPECT_GT(probe->downs[0].mods.touchRadius, 0.f);
    EXPECT_EQ(probe->downs[1].mods.touchID, 9u);
    EXPECT_EQ(probe->downs[1].mods.touchRadius, 0.f);
    EXPECT_FALSE(probe->downs[0].mods.L);
    ASSERT_EQ(probe->drags.size(), 1u);
    EXPECT_FLOAT_EQ(probe->drags[0].dX, 6.f);
    EXPECT_FLOAT_EQ(probe->drags[0].dY, 4.f);
  });
  EXPECT_EQ(display::LiveObjects().inputHandles, 0u);
}

TEST(WindowLayerDigitizer, MultiTouchNeedsTheDigitizersReadyFlag)
{
  display::Reset();
  IGraphicsWin g(nullptr, 10, 10);
  // Windows' ready flag is NID_READY (0x80); bit 6 (0x40) is NID_MULTI_INPUT, which says nothing
  // about whether the digitizer can be used.
  const struct
  {
    int flags;
    bool supported;
  } cases[] = {{0, false}, {NID_MULTI_INPUT | NID_INTEGRATED_TOUCH, false}, {NID_READY, true},
               {NID_READY | NID_MULTI_INPUT | NID_INTEGRATED_TOUCH, true}};
  for (const auto& c : cases)
  {
    ASSERT_TRUE(display::SetDigitizer(c.flags, 10));
    EXPECT_EQ(g.PlatformSupportsMultiTouch(), c.supported) << std::hex << c.flags;
  }
  display::Reset();
}

TEST_F(WindowLayer, DroppedFilesReachTheControlUnderTheDropPoint)
{
  HWND hwnd = Open();
  ASSERT_TRUE(display::DropFiles(hwnd, 40, 30, {L"C:\\Samples\\Kick \u00e9.wav", L"C:\\Samples\\Snare.wav"}));
  ASSERT_TRUE(UiWaitUntil([&] { return probe->drops.size() == 1; }));
  ui->Run([&] { EXPECT_EQ(probe->drops[0], "C:\\Samples\\Kick \xc3\xa9.wav"); });
  EXPECT_EQ(display::LiveObjects().inputHandles, 0u);
}

TEST_F(WindowLayer, CursorTypesSelectTheirSystemCursors)
{
  Open();
  const int expected[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                          32644, 32645, 32646, 32648, 32649, 32650, 32651};
  ui->Run([&] {
    for (int type = 0; type < 14; ++type)
    {
      const int previous = graphics->GetCursorType();
      EXPECT_EQ(graphics->SetMouseCursor(type), previous);
      EXPECT_EQ(display::CursorId(display::CurrentCursor()), expected[type]) << "type " << type;
    }
    for (int unknown : {-1, 14, 99})
    {
      graphics->SetMouseCursor(unknown);
      EXPECT_EQ(display::CursorId(display::CurrentCursor()), 32512) << "type " << unknown;
    }
  });
}

TEST_F(WindowLayer, ScaleForWindowIsTheDpiOver96)
{
  Open();
  const struct
  {
    UINT dpi;
    float scale;
  } cases[] = {{96, 1.f}, {120, 1.25f}, {144, 1.5f}, {192, 2.f}};
  ui->Run([&] {
    for (const auto& c : cases)
    {
      ASSERT_TRUE(display::SetWindowDpi(host, c.dpi));
      EXPECT_EQ(IGraphicsWin::GetScaleForWindow(editor), c.scale) << c.dpi;
    }
    // A window the system does not know has no DPI: the scale stays usable.
    EXPECT_EQ(IGraphicsWin::GetScaleForWindow(nullptr), 1.f);
  });
}

TEST_F(WindowLayer, ResizingGrowsTheParentsOnlyWhenTheHostDidNot)
{
  auto& d = AddEditor();
  HWND hwnd = Open();

  // The host resized its own container: only the editor's window changes.
  ui->Run([&] { graphics->Resize(kEditorWidth, kEditorHeight, 1.5f); });
  EXPECT_EQ(ClientSize(hwnd).cx, 450);
  EXPECT_EQ(ClientSize(hwnd).cy, 180);
  EXPECT_EQ(ClientSize(container).cx, kEditorWidth);

  // It did not: the container grows by as much, and so does the container's parent.
  const SIZE hostBefore = ClientSize(host);
  d.resizeResult = false;
  ui->Run([&] { graphics->Resize(kEditorWidth, kEditorHeight, 2.f); });
  EXPECT_EQ(ClientSize(hwnd).cx, 600);
  EXPECT_EQ(ClientSize(hwnd).cy, 240);
  EXPECT_EQ(ClientSize(container).cx, kEditorWidth + 150);
  EXPECT_EQ(ClientSize(container).cy, kEditorHeight + 60);
  EXPECT_EQ(ClientSize(host).cx, hostBefore.cx + 150);
  EXPECT_EQ(ClientSize(host).cy, hostBefore.cy + 60);
}

TEST_F(WindowLayer, APaintPresentsTheEditorsPicture)
{
  HWND hwnd = Open();
  ASSERT_TRUE(UiWaitUntil([&] { return display::HasPresented(hwnd); }));
  const display::Frame frame = ui->Run([&] { return display::PresentedFrame(hwnd); });
  ASSERT_EQ(frame.width, kEditorWidth);
  ASSERT_EQ(frame.height, kEditorHeight);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{150, 60}, std::pair{kEditorWidth - 1, kEditorHeight - 1}})
  {
    const uint8_t* px = &frame.rgba[(size_t(y) * size_t(frame.width) + size_t(x)) * 4];
    EXPECT_NEAR(px[0], kPanelColor.R, 2) << x << "," << y;
    EXPECT_NEAR(px[1], kPanelColor.G, 2) << x << "," << y;
    EXPECT_NEAR(px[2], kPanelColor.B, 2) << x << "," << y;
    EXPECT_EQ(px[3], 255) << x << "," << y;
  }
}

TEST_F(WindowLayer, APaintDrawsEachRectangleOfTheUpdateRegion)
{
  HWND hwnd = Open();
  ASSERT_TRUE(UiWaitUntil([&] { return display::HasPresented(hwnd); }));
  // Rectangles two pixels wide and two apart in one band. Up to 62 fit the 1024 bytes of region
  // data read at once; more are drawn as their bounding box.
  const struct
  {
    int rects;
    int draws;
  } cases[] = {{1, 1}, {3, 3}, {62, 62}, {63, 1}, {70, 1}};
  ui->Run([&] {
    auto* panel = static_cast<ProbeControl*>(graphics->GetControl(0));
    for (const auto& c : cases)
    {
      const int before = panel->draws;
      const std::optional<uint64_t> presented = display::PresentCount(hwnd);
      for (int i = 0; i < c.rects; ++i)
      {
        const RECT r{4 * i, 10, 4 * i + 2, 20};
        InvalidateRect(hwnd, &r, FALSE);
      }
      UpdateWindow(hwnd);
      EXPECT_EQ(panel->draws - before, c.draws) << c.rects << " rectangles";
      // One frame for the whole region, where the display counts frames.
      if (presented)
      {
        EXPECT_EQ(display::PresentCount(hwnd), *presented + 1);
      }
      RECT left{};
      EXPECT_FALSE(GetUpdateRect(hwnd, &left, FALSE));
    }
  });
}

// The window's back buffer keeps its pixels between swaps, so a frame copies only what it
// repainted; what is presented must still be the whole face, also once the back buffer changed
// size (a new one holds nothing) without the editor being resized.
TEST_F(WindowLayer, AFrameThatRepaintsOneControlPresentsTheWholeFace)
{
  HWND hwnd = Open();
  ASSERT_TRUE(UiWaitUntil([&] { return display::HasPresented(hwnd); }));
  auto colourAt = [](const display::Frame& frame, int x, int y) {
    const uint8_t* px = &frame.rgba[(size_t(y) * size_t(frame.width) + size_t(x)) * 4];
    return IColor(px[3], px[0], px[1], px[2]);
  };
  auto similar = [](const IColor& a, const IColor& b) {
    return std::abs(a.R - b.R) <= 2 && std::abs(a.G - b.G) <= 2 && std::abs(a.B - b.B) <= 2 && a.A == b.A;
  };
  const IColor swatchColor{255, 200, 30, 30};
  const int sizes[][2] = {{kEditorWidth, kEditorHeight}, {kEditorWidth + 20, kEditorHeight + 10}};
  for (const auto& size : sizes)
  {
    const display::Frame frame = ui->Run([&] {
      if (size[0] != kEditorWidth)
        SetWindowPos(hwnd, nullptr, 0, 0, size[0], size[1], SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      // Only the swatch's rectangle is invalid when the frame is painted.
      UpdateWindow(hwnd);
      graphics->AttachControl(new ProbeControl(IRect(100, 40, 140, 80), swatchColor));
      const RECT r{100, 40, 140, 80};
      InvalidateRect(hwnd, &r, FALSE);
      UpdateWindow(hwnd);
      return display::PresentedFrame(hwnd);
    });
    SCOPED_TRACE(std::to_string(frame.width) + " x " + std::to_string(frame.height));
    ASSERT_EQ(frame.width, size[0]);
    ASSERT_EQ(frame.height, size[1]);
    // OpenGL places the face at the bottom left of a larger back buffer.
    const int top = size[1] - kEditorHeight;
    EXPECT_TRUE(similar(colourAt(frame, 120, top + 60), swatchColor));
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{99, 60}, std::pair{kEditorWidth - 1, kEditorHeight - 1}})
      EXPECT_TRUE(similar(colourAt(frame, x, top + y), kPanelColor)) << x << "," << y;
  }
}

TEST_F(WindowLayer, TheProductsEditorPresentsItsFace)
{
  std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  Corvane* raw = plug.get();
  raw->SetMakeGraphicsFunc([raw] {
    auto* g = new IGraphicsWin(raw, 1086, 214, 60, 1.f);
    g->SetModuleInstance(GetModuleHandleW(nullptr));
    return g;
  });
  HWND hwnd = ui->Run([&] { return static_cast<HWND>(raw->OpenEditorWindow(container)); });
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(UiWaitUntil([&] { return display::HasPresented(hwnd); }));
  const display::Frame frame = ui->Run([&] { return display::PresentedFrame(hwnd); });
  EXPECT_EQ(frame.width, 1086);
  EXPECT_EQ(frame.height, 214);

  // The background picture covers the face: opaque everywhere, and not one flat colour.
  size_t opaque = 0, differing = 0;
  for (size_t i = 0; i + 3 < frame.rgba.size(); i += 4)
  {
    opaque += frame.rgba[i + 3] == 255;
    differing += frame.rgba[i] != frame.rgba[0] || frame.rgba[i + 1] != frame.rgba[1];
  }
  EXPECT_EQ(opaque, size_t(1086) * 214);
  EXPECT_GT(differing, size_t(1086) * 214 / 10);
  ui->Run([&] { raw->CloseEditorWindow(); });
}

TEST_F(WindowLayer, ClosingUnregistersTheClassWithTheLastWindowAndLeavesNothing)
{
  const display::Objects before = display::LiveObjects();
  auto& first = AddEditor();
  auto& second = AddEditor();
  HWND a = ui->Run([&] { return static_cast<HWND>(first.OpenEditorWindow(container)); });
  HWND b = ui->Run([&] { return static_cast<HWND>(second.OpenEditorWindow(container)); });
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_TRUE(UiWaitUntil([&] { return display::HasPresented(a) && display::HasPresented(b); }));

  const auto classExists = [] {
    WNDCLASSW wc{};
    return GetClassInfoW(GetModuleHandleW(nullptr), L"IPlugWndClass", &wc) != FALSE;
  };
  ui->Run([&] {
    first.CloseEditorWindow();
    EXPECT_FALSE(IsWindow(a));
    EXPECT_TRUE(classExists());
    second.CloseEditorWindow();
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(classExists());
  });
  EXPECT_EQ(display::LiveObjects(), before);

  // And it opens again.
  HWND again = ui->Run([&] { return static_cast<HWND>(first.OpenEditorWindow(container)); });
  EXPECT_NE(again, nullptr);
  ui->Run([&] { EXPECT_TRUE(classExists()); });
}

TEST_F(WindowLayer, OpeningAgainReplacesTheWindowKeepingItsPlaceAndSize)
{
  auto& d = AddEditor();
  HWND first = Open();
  ui->Run([&] {
    graphics->Resize(kEditorWidth, kEditorHeight, 1.5f);
    SetWindowPos(first, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  });
  HWND second = ui->Run([&] { return static_cast<HWND>(d.OpenEditorWindow(container)); });
  ASSERT_NE(second, nullptr);
  ui->Run([&] {
    EXPECT_FALSE(IsWindow(first));
    RECT r{};
    GetWindowRect(second, &r);
    POINT origin{0, 0};
    ClientToScreen(container, &origin);
    EXPECT_EQ(r.left - origin.x, 7);
    EXPECT_EQ(r.top - origin.y, 9);
    EXPECT_EQ(r.right - r.left, 450);
    EXPECT_EQ(r.bottom - r.top, 180);
    // The layout ran again on the new window.
    EXPECT_EQ(graphics->NControls(), 2);
    d.CloseEditorWindow();
    WNDCLASSW wc{};
    EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), L"IPlugWndClass", &wc));
  });
}

TEST_F(WindowLayer, TheCloseMessageClosesTheWindow)
{
  HWND hwnd = Open();
  ASSERT_TRUE(ui->Run([&] { return PostMessageW(hwnd, WM_CLOSE, 0, 0) != FALSE; }));
  ASSERT_TRUE(UiWaitUntil([&] { return !IsWindow(hwnd); }));
  ui->Run([&] { EXPECT_FALSE(graphics->PlatformWindowIsOpen()); });
}

TEST_F(WindowLayer, DialogCodeAsksForEveryKey)
{
  HWND hwnd = Open();
  EXPECT_EQ(ui->Run([&] { return SendMessageW(hwnd, WM_GETDLGCODE, 0, 0); }), LRESULT(DLGC_WANTALLKEYS));
}

} // namespace

namespace {

std::wstring ToolText(HWND tooltip, HWND tool)
{
  wchar_t text[80] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = tool;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  return text;
}

TEST_F(WindowLayer, ATooltipShowsAfterTheHoverTimeAndGoesWhenThePointerLeaves)
{
  const size_t windowsBefore = display::LiveObjects().windows;
  HWND hwnd = Open([](IGraphics* g) { g->EnableTooltips(true); });
  ui->Run([&] { probe->SetTooltip("Drive"); });
  HWND tooltip = ui->Run([] { return FindWindowW(L"tooltips_class32", nullptr); });
  ASSERT_NE(tooltip, nullptr);
  ui->Run([&] {
    // A popup given a child as its owner is owned by the child's top-level window.
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), GetAncestor(hwnd, GA_ROOT));
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 250);
  });

  ASSERT_TRUE(display::MouseMove(hwnd, 150, 60));
  ASSERT_TRUE(UiWaitUntil([&] { return ToolText(tooltip, hwnd) == L"Drive"; }));

  // Out of the editor, onto the host's window.
  ASSERT_TRUE(display::MouseMove(host, 1500, 700));
  ASSERT_TRUE(UiWaitUntil([&] { return ToolText(tooltip, hwnd).empty(); }));

  ui->Run([&] { delegates.front()->CloseEditorWindow(); });
  EXPECT_EQ(display::LiveObjects().windows, windowsBefore);
}

} // namespace

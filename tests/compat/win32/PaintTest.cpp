#include "WindowTestSupport.h"

#include <cstring>

using namespace win32test;

namespace {

class Painting : public Win32Test
{
};

std::vector<RECT> RectsOf(HRGN region)
{
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, size, data) != size)
    return {};
  const auto* rects = reinterpret_cast<const RECT*>(buffer.data() + sizeof(RGNDATAHEADER));
  return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

bool Same(const RECT& a, const RECT& b)
{
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(Painting, UpdateRegionsAreBandedRectangles)
{
  OnFreshThread([] {
    Recorder log;
    HWND hwnd = MakeWindow(log, 0, 0, 100, 100);
    struct Case
    {
      const char* name;
      std::vector<RECT> invalid;
      std::vector<RECT> valid; // validated after the invalidation
      int kind;
      std::vector<RECT> rects;
    };
    // A = (0,0)-(10,10), B = (5,5)-(15,15).
    const Case cases[] = {
        {"union", {{0, 0, 10, 10}, {5, 5, 15, 15}}, {}, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
        {"difference", {{0, 0, 10, 10}}, {{5, 5, 15, 15}}, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 5, 10}}},
        {"adjacent rows with the same spans merge", {{0, 0, 10, 5}, {0, 5, 10, 10}}, {}, SIMPLEREGION, {{0, 0, 10, 10}}},
        {"clipped to the client area", {{90, 90, 120, 120}}, {}, SIMPLEREGION, {{90, 90, 100, 100}}},
        {"all validated", {{0, 0, 10, 10}}, {{0, 0, 10, 10}}, NULLREGION, {}},
    };
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    for (const auto& c : cases)
    {
      ValidateRect(hwnd, nullptr);
      for (const RECT& r : c.invalid)
        InvalidateRect(hwnd, &r, FALSE);
      for (const RECT& r : c.valid)
        ValidateRect(hwnd, &r);
      EXPECT_EQ(GetUpdateRgn(hwnd, update, FALSE), c.kind) << c.name;
      const auto rects = RectsOf(update);
      ASSERT_EQ(rects.size(), c.rects.size()) << c.name;
      for (size_t i = 0; i < rects.size(); ++i)
        EXPECT_TRUE(Same(rects[i], c.rects[i])) << c.name << " rect " << i;
    }
    DeleteObject(update);
    DestroyWindow(hwnd);
  });

  HRGN far = CreateRectRgn(20, 20, 30, 30);
  HRGN inverted = CreateRectRgn(10, 10, 0, 0);
  RECT box;
  EXPECT_EQ(GetRgnBox(inverted, &box), SIMPLEREGION) << "corners are put in order";
  EXPECT_TRUE(Same(box, RECT{0, 0, 10, 10}));
  // GetRegionData: size on request, nothing for a short buffer.
  RGNDATAHEADER header;
  EXPECT_EQ(GetRegionData(far, sizeof header, reinterpret_cast<RGNDATA*>(&header)), 0u);
  for (HRGN r : {far, inverted})
    EXPECT_TRUE(DeleteObject(r));
  EXPECT_FALSE(DeleteObject(far)) << "gone already";
}

TEST_F(Painting, UpdateRegionDrivesWmPaintAfterPostedMessagesAndInput)
{
  OnFreshThread([] {
    Recorder log;
    log.handler = [](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
      return message == WM_PAINT; // answered without validating: WM_PAINT keeps coming
    };
    HWND hwnd = MakeWindow(log, 0, 0, 100, 80);
    ValidateRect(hwnd, nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE));

    RECT a{10, 10, 20, 20};
    RECT b{50, 40, 60, 45};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, TRUE);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(hwnd, update, FALSE), COMPLEXREGION);
    EXPECT_EQ(RectsOf(update).size(), 2u);

    // Posted messages and input come first; paint before timers.
    SetTimer(hwnd, 1, 10, nullptr);
    Sleep(20);
    PostMessageW(hwnd, WM_USER, 0, 0);
    win32compat::display::MouseMove(hwnd, 5, 5);
    std::vector<UINT> order;
    for (int i = 0; i < 3 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
      order.push_back(msg.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_MOUSEMOVE, WM_PAINT}));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT)) << "PM_REMOVE does not take WM_PAINT away";
    DispatchMessageW(&msg);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT)) << "a procedure that does not validate is asked again";
    KillTimer(hwnd, 1);

    // BeginPaint hands out the bounding box, erases once, and validates.
    log.handler = nullptr;
    log.messages.clear();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    EXPECT_EQ(dc, GetDC(hwnd));
    EXPECT_TRUE(Same(ps.rcPaint, RECT{10, 10, 60, 45}));
    EXPECT_EQ(log.Count(WM_ERASEBKGND), 1);
    EXPECT_TRUE(ps.fErase) << "no class brush answered the erase";
    EndPaint(hwnd, &ps);
    EXPECT_EQ(GetUpdateRgn(hwnd, update, FALSE), NULLREGION);
    EXPECT_FALSE(PeekMessageW(&msg, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE));

    // Validating part of the region keeps the rest; a hidden window is not painted.
    InvalidateRect(hwnd, nullptr, FALSE);
    ValidateRect(hwnd, &a);
    EXPECT_EQ(GetUpdateRgn(hwnd, update, FALSE), COMPLEXREGION);
    ShowWindow(hwnd, SW_HIDE);
    EXPECT_FALSE(PeekMessageW(&msg, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(GetUpdateRgn(hwnd, update, FALSE), NULLREGION) << "invalidating a hidden window does nothing";
    DeleteObject(update);
    DestroyWindow(hwnd);
  });
}

TEST_F(Painting, UpdateWindowPaintsAtOnceAndClipChildrenKeepsChildrenOut)
{
  OnFreshThread([] {
    Recorder parentLog, childLog;
    HWND parent = MakeWindow(parentLog, 0, 0, 200, 200, nullptr, WS_VISIBLE | WS_CLIPCHILDREN);
    HWND child = MakeWindow(childLog, 10, 10, 50, 50, parent);
    Pump();
    parentLog.messages.clear();
    InvalidateRect(parent, nullptr, FALSE);
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE)) << "WS_CLIPCHILDREN";
    EXPECT_TRUE(UpdateWindow(parent));
    EXPECT_EQ(parentLog.Count(WM_PAINT), 1) << "sent, not queued";
    EXPECT_FALSE(GetUpdateRect(parent, nullptr, FALSE));

    // Without WS_CLIPCHILDREN the children under the area are invalidated too, in their coordinates.
    SetWindowLongPtrW(parent, GWL_STYLE, GetWindowLongPtrW(parent, GWL_STYLE) & ~WS_CLIPCHILDREN);
    RECT area{0, 0, 20, 20};
    InvalidateRect(parent, &area, FALSE);
    RECT childArea;
    ASSERT_TRUE(GetUpdateRect(child, &childArea, FALSE));
    EXPECT_TRUE(Same(childArea, RECT{0, 0, 10, 10}));
    DestroyWindow(parent);
  });
}

} // namespace

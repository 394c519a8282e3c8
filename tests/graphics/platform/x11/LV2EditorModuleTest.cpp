// The LV2 editor's module, loaded from the bundle with dlopen and driven through its one export
// as an LV2 host drives it: features offered, port events sent, idle called, input given as real
// X events; what the editor writes back, touches and asks for is recorded.

#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <string>
#include <vector>

#include "X11EditorFixture.h"

namespace x11test {

namespace {

// The Gain knob's centre, in the face's logical pixels (96 dpi: the window's pixels).
constexpr int kGainX = 128, kGainY = 96;

struct HostRecord
{
  struct Write
  {
    uint32_t port;
    float value;
  };
  struct Touch
  {
    uint32_t port;
    bool grabbed;
  };
  std::vector<Write> writes;
  std::vector<Touch> touches;
  std::vector<std::pair<int, int>> resizes;
};

void RecordWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
  if (format == 0 && size == sizeof(float))
  {
    float value = 0.f;
    std::memcpy(&value, buffer, sizeof(value));
    static_cast<HostRecord*>(controller)->writes.push_back({port, value});
  }
}

void RecordTouch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
{
  static_cast<HostRecord*>(handle)->touches.push_back({port, grabbed});
}

int RecordResize(LV2UI_Feature_Handle handle, int width, int height)
{
  static_cast<HostRecord*>(handle)->resizes.emplace_back(width, height);
  return 0;
}

class LV2EditorModuleTest : public X11EditorFixture
{
protected:
  void SetUp() override
  {
    X11EditorFixture::SetUp();
    if (IsSkipped())
      return;
    module = dlopen(CORVANE_LV2_BUNDLE "/CorvaneUI.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    using DescriptorFn = const LV2UI_Descriptor* (*) (uint32_t);
    auto descriptorFn = reinterpret_cast<DescriptorFn>(dlsym(module, "lv2ui_descriptor"));
    ASSERT_NE(descriptorFn, nullptr);
    descriptor = descriptorFn(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptorFn(1), nullptr);
    idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);
  }

  void TearDown() override
  {
    if (ui)
      descriptor->cleanup(ui);
    ui = nullptr;
    if (module)
      dlclose(module);
    X11EditorFixture::TearDown();
  }

  // Instantiates the editor in the parent window, offering the features given.
  LV2UI_Handle Instantiate(bool withParent = true)
  {
    parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parent)};
    touch = {&record, &RecordTouch};
    resize = {&record, &RecordResize};
    touchFeature = {LV2_UI__touch, &touch};
    resizeFeature = {LV2_UI__resize, &resize};
    std::vector<const LV2_Feature*> list = {&touchFeature, &resizeFeature};
    if (withParent)
      list.push_back(&parentFeature);
    list.push_back(nullptr);
    ui = descriptor->instantiate(descriptor, "http://quillmarsh.com/plugins/corvane/stereo", CORVANE_LV2_BUNDLE,
                                 &RecordWrite, &record, &widget, list.data());
    return ui;
  }

  void HostIdle(int milliseconds)
  {
    for (int t = 0; t < milliseconds; t += 5)
    {
      ASSERT_EQ(idle->idle(ui), 0);
      Idle(5);
    }
  }

  void* module = nullptr;
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idle = nullptr;
  LV2UI_Handle ui = nullptr;
  LV2UI_Widget widget = nullptr;
  HostRecord record;
  LV2UI_Touch touch{};
  LV2UI_Resize resize{};
  LV2_Feature parentFeature{}, touchFeature{}, resizeFeature{};
};

} // namespace

// A host value on the Gain port turns the knob the screen shows; a drag on that knob goes back
// to the host as touch, writes of Gain's own value (dB) and release, on Gain's port only.
TEST_F(LV2EditorModuleTest, PortEventsAndGesturesGoThroughThePorts)
{
  ASSERT_NE(Instantiate(), nullptr);
  ASSERT_NE(widget, nullptr);
  const Window window = static_cast<Window>(reinterpret_cast<uintptr_t>(widget));
  HostIdle(300);
  const Picture defaults = Capture(window);

  const float gain = 12.f;
  descriptor->port_event(ui, kGain, sizeof(float), 0, &gain);
  // Not a control value: ignored, as is a port the editor has no parameter for.
  const float nonsense = 99.f;
  descriptor->port_event(ui, kGain, sizeof(float), 7, &nonsense);
  descriptor->port_event(ui, 200, sizeof(float), 0, &nonsense);
  HostIdle(100);
  EXPECT_GT(CountDifferentPixels(Capture(window), defaults, 8), 100) << "the Gain knob did not move";
  EXPECT_TRUE(record.writes.empty()) << "a host value must not echo back";

  Drag(kGainX, kGainY, kGainX, kGainY - 80, 8);
  HostIdle(100);
  ASSERT_GE(record.touches.size(), 2u);
  EXPECT_EQ(record.touches.front().port, static_cast<uint32_t>(kGain));
  EXPECT_TRUE(record.touches.front().grabbed);
  EXPECT_FALSE(record.touches.back().grabbed);
  ASSERT_FALSE(record.writes.empty());
  for (const auto& w : record.writes)
    EXPECT_EQ(w.port, static_cast<uint32_t>(kGain));
  EXPECT_GT(record.writes.back().value, gain);
  EXPECT_LE(record.writes.back().value, 30.f);
}

// The corner handle asks the host for the new size through ui:resize.
TEST_F(LV2EditorModuleTest, CornerDragAsksTheHostToResize)
{
  ASSERT_NE(Instantiate(), nullptr);
  HostIdle(200);
  Drag(1078, 206, 1500, 300, 10);
  HostIdle(100);
  ASSERT_FALSE(record.resizes.empty());
  EXPECT_GT(record.resizes.back().first, 1086);
  EXPECT_GT(record.resizes.back().second, 214);
}

// Without the host's window there is nothing to embed in: no editor, and nothing left behind.
TEST_F(LV2EditorModuleTest, NoParentNoEditor)
{
  EXPECT_EQ(Instantiate(false), nullptr);
  EXPECT_EQ(ChildCount(), 0);
}

} // namespace x11test

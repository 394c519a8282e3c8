// The LV2 editor's module, loaded from the bundle with dlopen and driven through its one export
// as an LV2 host drives it: features offered, port events sent, idle called, input given as real
// X events; what the editor writes back, touches and asks for is recorded.

#include <dlfcn.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "X11EditorFixture.h"

namespace x11test {

namespace {

// The Gain knob's centre, in the face's logical pixels (96 dpi: the window's pixels).
constexpr int kGainX = 128, kGainY = 96;
constexpr const char* kStereoURI = "http://quillmarsh.com/plugins/corvane/stereo";
constexpr const char* kMonoURI = "http://quillmarsh.com/plugins/corvane/mono";
constexpr const char* kEditorSizeURI = "http://quillmarsh.com/plugins/corvane#editorSize";
// The plug-ins' message ports: after 6 parameters, enable, latency and the audio ports.
constexpr uint32_t kStereoMessagesIn = 12, kStereoMessagesOut = 13, kMonoMessagesIn = 10;

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
  // Atoms written to a port (format: the transfer's URID), 8-byte aligned copies.
  struct Message
  {
    uint32_t port;
    uint32_t format;
    std::vector<uint64_t> atom;
    const LV2_Atom* Atom() const { return reinterpret_cast<const LV2_Atom*>(atom.data()); }
  };
  std::vector<Message> messages;
  std::map<std::string, LV2_URID> ids;

  LV2_URID Id(const char* uri) { return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second; }
};

LV2_URID MapURI(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<HostRecord*>(handle)->Id(uri); }

struct EditorSize
{
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;
};

// The record a patch:Set of the editor size carries, read with LV2's atom helpers; false for any
// other atom.
bool ReadSet(HostRecord& host, const LV2_Atom* atom, EditorSize& size)
{
  if (atom->type != host.Id(LV2_ATOM__Object))
    return false;
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  const LV2_Atom* property = nullptr;
  const LV2_Atom* value = nullptr;
  lv2_atom_object_get(object, host.Id(LV2_PATCH__property), &property, host.Id(LV2_PATCH__value), &value, 0);
  if (object->body.otype != host.Id(LV2_PATCH__Set) || !property || !value ||
      reinterpret_cast<const LV2_Atom_URID*>(property)->body != host.Id(kEditorSizeURI) ||
      value->type != host.Id(LV2_ATOM__Tuple))
    return false;
  std::vector<const LV2_Atom*> items;
  LV2_ATOM_TUPLE_FOREACH(reinterpret_cast<const LV2_Atom_Tuple*>(value), item) { items.push_back(item); }
  if (items.size() != 3)
    return false;
  size = {reinterpret_cast<const LV2_Atom_Int*>(items[0])->body, reinterpret_cast<const LV2_Atom_Int*>(items[1])->body,
          reinterpret_cast<const LV2_Atom_Float*>(items[2])->body};
  return true;
}

bool IsGet(HostRecord& host, const LV2_Atom* atom)
{
  if (atom->type != host.Id(LV2_ATOM__Object))
    return false;
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  const LV2_Atom* property = nullptr;
  lv2_atom_object_get(object, host.Id(LV2_PATCH__property), &property, 0);
  return object->body.otype == host.Id(LV2_PATCH__Get) && property &&
         reinterpret_cast<const LV2_Atom_URID*>(property)->body == host.Id(kEditorSizeURI);
}

// The plug-in's answer as the host hands it on: a patch:Set forged with LV2's forge.
std::vector<uint64_t> ForgeSet(HostRecord& host, EditorSize size, const char* property = kEditorSizeURI)
{
  std::vector<uint64_t> buffer(32);
  LV2_URID_Map map{&host, &MapURI};
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &map);
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buffer.data()), buffer.size() * 8);
  LV2_Atom_Forge_Frame object, tuple;
  lv2_atom_forge_object(&forge, &object, 0, host.Id(LV2_PATCH__Set));
  lv2_atom_forge_key(&forge, host.Id(LV2_PATCH__property));
  lv2_atom_forge_urid(&forge, host.Id(property));
  lv2_atom_forge_key(&forge, host.Id(LV2_PATCH__value));
  lv2_atom_forge_tuple(&forge, &tuple);
  lv2_atom_forge_int(&forge, size.width);
  lv2_atom_forge_int(&forge, size.height);
  lv2_atom_forge_float(&forge, size.scale);
  lv2_atom_forge_pop(&forge, &tuple);
  lv2_atom_forge_pop(&forge, &object);
  return buffer;
}

void RecordWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
  if (format != 0)
  {
    HostRecord::Message message{port, format, std::vector<uint64_t>((size + 7) / 8)};
    std::memcpy(message.atom.data(), buffer, size);
    static_cast<HostRecord*>(controller)->messages.push_back(std::move(message));
  }
  else if (size == sizeof(float))
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
  LV2UI_Handle Instantiate(bool withParent = true, bool withMap = true, const char* pluginURI = kStereoURI)
  {
    parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parent)};
    touch = {&record, &RecordTouch};
    resize = {&record, &RecordResize};
    map = {&record, &MapURI};
    touchFeature = {LV2_UI__touch, &touch};
    resizeFeature = {LV2_UI__resize, &resize};
    mapFeature = {LV2_URID__map, &map};
    std::vector<const LV2_Feature*> list = {&touchFeature, &resizeFeature};
    if (withParent)
      list.push_back(&parentFeature);
    if (withMap)
      list.push_back(&mapFeature);
    list.push_back(nullptr);
    ui = descriptor->instantiate(descriptor, pluginURI, CORVANE_LV2_BUNDLE, &RecordWrite, &record, &widget,
                                 list.data());
    return ui;
  }

  // Hands an atom from the plug-in's notify port to the editor, as a host does.
  void Notify(const std::vector<uint64_t>& atom, uint32_t port = kStereoMessagesOut)
  {
    const auto* header = reinterpret_cast<const LV2_Atom*>(atom.data());
    descriptor->port_event(ui, port, static_cast<uint32_t>(sizeof(LV2_Atom)) + header->size,
                           record.Id(LV2_ATOM__eventTransfer), atom.data());
  }

  Window EditorWindow() const { return static_cast<Window>(reinterpret_cast<uintptr_t>(widget)); }

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
  LV2_URID_Map map{};
  LV2_Feature parentFeature{}, touchFeature{}, resizeFeature{}, mapFeature{};
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

// Opening asks the plug-in for the stored size (on the mono plug-in's port too); a corner drag
// tells the plug-in the size it leaves the editor at, the window the host was asked for.
TEST_F(LV2EditorModuleTest, AsksForTheStoredSizeAndTellsTheOneACornerDragLeaves)
{
  ASSERT_NE(Instantiate(true, true, kMonoURI), nullptr);
  ASSERT_EQ(record.messages.size(), 1u);
  EXPECT_EQ(record.messages[0].port, kMonoMessagesIn);
  descriptor->cleanup(ui);
  ui = nullptr;
  record.messages.clear();

  ASSERT_NE(Instantiate(), nullptr);
  HostIdle(200);
  ASSERT_EQ(record.messages.size(), 1u) << "opening tells the plug-in nothing but the question";
  EXPECT_EQ(record.messages[0].port, kStereoMessagesIn);
  EXPECT_EQ(record.messages[0].format, record.Id(LV2_ATOM__eventTransfer));
  EXPECT_TRUE(IsGet(record, record.messages[0].Atom()));

  Drag(1078, 206, 1500, 300, 10);
  HostIdle(100);
  ASSERT_GE(record.messages.size(), 2u);
  EditorSize told;
  ASSERT_TRUE(ReadSet(record, record.messages.back().Atom(), told));
  EXPECT_EQ(record.messages.back().port, kStereoMessagesIn);
  ASSERT_FALSE(record.resizes.empty());
  EXPECT_NEAR(static_cast<float>(told.width) * told.scale, static_cast<float>(record.resizes.back().first), 1.f);
  EXPECT_NEAR(static_cast<float>(told.height) * told.scale, static_cast<float>(record.resizes.back().second), 1.f);
  EXPECT_GT(static_cast<float>(told.width) * told.scale, 1086.f);
  EXPECT_LT(record.messages.size(), 10u) << "a drag is told once per idle tick, not per step";
}

// The plug-in's answer (or a restored state's announcement) resizes the open editor and the
// host's window; it is not echoed back. Answers the editor could not show change nothing.
TEST_F(LV2EditorModuleTest, TheStoredSizeFromThePluginResizesTheEditor)
{
  ASSERT_NE(Instantiate(), nullptr);
  HostIdle(200);
  Notify(ForgeSet(record, {1086, 214, 2.f}));
  HostIdle(200);
  ASSERT_FALSE(record.resizes.empty());
  EXPECT_EQ(record.resizes.back(), std::make_pair(2172, 428));
  int width = 0, height = 0;
  WindowSize(EditorWindow(), width, height);
  EXPECT_EQ(width, 2172);
  EXPECT_EQ(height, 428);
  EXPECT_EQ(record.messages.size(), 1u) << "the plug-in's own size came back to it";

  const size_t resizes = record.resizes.size();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Notify(ForgeSet(record, {1086, 214, nan}));
  Notify(ForgeSet(record, {1086, 214, 1.f}, "http://example.org/size"));
  Notify(ForgeSet(record, {5000, 214, 1.f}));              // wider than the editor goes
  Notify(ForgeSet(record, {1086, 214, 1.f}), 5);           // not the notify port
  auto truncated = ForgeSet(record, {1086, 214, 1.f});
  descriptor->port_event(ui, kStereoMessagesOut, 24, record.Id(LV2_ATOM__eventTransfer), truncated.data());
  descriptor->port_event(ui, kStereoMessagesOut, sizeof(float), 0, truncated.data());
  HostIdle(100);
  EXPECT_EQ(record.resizes.size(), resizes);
  WindowSize(EditorWindow(), width, height);
  EXPECT_EQ(width, 2172);
  EXPECT_EQ(record.messages.size(), 1u);
}

// A host without a URID map gets no messages; the editor works as before.
TEST_F(LV2EditorModuleTest, WithoutAMapNoMessages)
{
  ASSERT_NE(Instantiate(true, false), nullptr);
  HostIdle(100);
  Drag(1078, 206, 1500, 300, 10);
  HostIdle(100);
  EXPECT_FALSE(record.resizes.empty());
  EXPECT_TRUE(record.messages.empty());
}

// Without the host's window there is nothing to embed in: no editor, and nothing left behind.
TEST_F(LV2EditorModuleTest, NoParentNoEditor)
{
  EXPECT_EQ(Instantiate(false), nullptr);
  EXPECT_EQ(ChildCount(), 0);
}

} // namespace x11test

// The editor-size record on the plug-in's message ports: what the editor sets is saved in the
// state chunk, asked for it is answered, restored it is announced; the AAX build's states carry
// it both ways. Messages are built and read with LV2's own forge and atom helpers.

#include <gtest/gtest.h>

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "ByteChunk.h"
#include "Corvane.h"
#include "LV2Host.h"
#include "support/AllocationCounter.h"

using namespace lv2test;

namespace {

constexpr const char* kEditorSizeURI = "http://quillmarsh.com/plugins/corvane#editorSize";
constexpr uint32_t kOutCapacity = 4096;

struct Size
{
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;
  bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Size& s)
{
  return os << s.width << "x" << s.height << "@" << s.scale;
}

// The two message ports of a stereo instance as a host keeps them: an input sequence written
// with the forge before each run, an output whose size announces the room given, with guard
// bytes behind it.
class MessagePorts
{
public:
  explicit MessagePorts(Instance& inst, uint32_t outCapacity = kOutCapacity) : mInst(inst), mOutCapacity(outCapacity)
  {
    mMap = static_cast<LV2_URID_Map*>(inst.Map().Feature()->data);
    lv2_atom_forge_init(&mForge, mMap);
    mChunk = Id(LV2_ATOM__Chunk);
    mOut.assign((sizeof(LV2_Atom) + outCapacity + 7) / 8 + 8, 0xA5A5A5A5A5A5A5A5ull);
    inst.Descriptor()->connect_port(inst.Handle(), kInPort, mIn.data());
    inst.Descriptor()->connect_port(inst.Handle(), kOutPort, mOut.data());
    Begin();
  }

  LV2_URID Id(const char* uri) { return mMap->map(mMap->handle, uri); }
  LV2_Atom_Forge& Forge() { return mForge; }

  // Starts an event at frame 0; the caller forges its body.
  void Event() { lv2_atom_forge_frame_time(&mForge, 0); }

  void Set(Size s, const char* property = kEditorSizeURI)
  {
    SetTuple([s](LV2_Atom_Forge& forge) {
      lv2_atom_forge_int(&forge, s.width);
      lv2_atom_forge_int(&forge, s.height);
      lv2_atom_forge_float(&forge, s.scale);
    }, property);
  }

  // A patch:Set of the property whose value tuple `values` forges (well formed or not).
  template <typename Values>
  void SetTuple(Values values, const char* property = kEditorSizeURI)
  {
    Event();
    LV2_Atom_Forge_Frame object, tuple;
    lv2_atom_forge_object(&mForge, &object, 0, Id(LV2_PATCH__Set));
    lv2_atom_forge_key(&mForge, Id(LV2_PATCH__property));
    lv2_atom_forge_urid(&mForge, Id(property));
    lv2_atom_forge_key(&mForge, Id(LV2_PATCH__value));
    lv2_atom_forge_tuple(&mForge, &tuple);
    values(mForge);
    lv2_atom_forge_pop(&mForge, &tuple);
    lv2_atom_forge_pop(&mForge, &object);
  }

  // A patch:Get, for the record or (property null) for everything.
  void Get(const char* property = kEditorSizeURI)
  {
    Event();
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_object(&mForge, &object, 0, Id(LV2_PATCH__Get));
    if (property)
    {
      lv2_atom_forge_key(&mForge, Id(LV2_PATCH__property));
      lv2_atom_forge_urid(&mForge, Id(property));
    }
    lv2_atom_forge_pop(&mForge, &object);
  }

  LV2_Atom_Sequence* In() { return reinterpret_cast<LV2_Atom_Sequence*>(mIn.data()); }
  LV2_Atom_Sequence* Out() { return reinterpret_cast<LV2_Atom_Sequence*>(mOut.data()); }

  // Closes the input, announces the output's room, runs, and starts the next input.
  void Run(uint32_t frames = 64, uint32_t at = 0)
  {
    lv2_atom_forge_pop(&mForge, &mSequence);
    Out()->atom.size = mOutCapacity;
    Out()->atom.type = mChunk;  // mapped before: the test map allocates
    mInst.Run(frames, at);
    Begin();
  }

  // The records the plug-in announced in the last run, read with LV2's atom helpers.
  std::vector<Size> Announced()
  {
    std::vector<Size> found;
    EXPECT_EQ(Out()->atom.type, Id(LV2_ATOM__Sequence));
    LV2_ATOM_SEQUENCE_FOREACH(Out(), ev)
    {
      const LV2_Atom* property = nullptr;
      const LV2_Atom* value = nullptr;
      const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&ev->body);
      EXPECT_EQ(object->body.otype, Id(LV2_PATCH__Set));
      lv2_atom_object_get(object, Id(LV2_PATCH__property), &property, Id(LV2_PATCH__value), &value, 0);
      EXPECT_TRUE(property && property->type == Id(LV2_ATOM__URID) &&
                  reinterpret_cast<const LV2_Atom_URID*>(property)->body == Id(kEditorSizeURI));
      if (!value || value->type != Id(LV2_ATOM__Tuple))
        continue;
      std::vector<const LV2_Atom*> items;
      LV2_ATOM_TUPLE_FOREACH(reinterpret_cast<const LV2_Atom_Tuple*>(value), item) { items.push_back(item); }
      if (items.size() == 3 && items[0]->type == Id(LV2_ATOM__Int) && items[2]->type == Id(LV2_ATOM__Float))
        found.push_back({reinterpret_cast<const LV2_Atom_Int*>(items[0])->body,
                         reinterpret_cast<const LV2_Atom_Int*>(items[1])->body,
                         reinterpret_cast<const LV2_Atom_Float*>(items[2])->body});
    }
    return found;
  }

  // The bytes behind the announced room were never written.
  bool GuardIntact() const
  {
    const auto* bytes = reinterpret_cast<const uint8_t*>(mOut.data());
    for (size_t i = sizeof(LV2_Atom) + mOutCapacity; i < mOut.size() * 8; ++i)
      if (bytes[i] != 0xA5)
        return false;
    return true;
  }

  static constexpr uint32_t kInPort = kParamPorts + 2 + 4;
  static constexpr uint32_t kOutPort = kInPort + 1;

private:
  void Begin()
  {
    lv2_atom_forge_set_buffer(&mForge, reinterpret_cast<uint8_t*>(mIn.data()), mIn.size() * sizeof(uint64_t));
    lv2_atom_forge_sequence_head(&mForge, &mSequence, 0);
  }

  Instance& mInst;
  uint32_t mOutCapacity;
  LV2_URID_Map* mMap = nullptr;
  LV2_URID mChunk = 0;
  LV2_Atom_Forge mForge{};
  LV2_Atom_Forge_Frame mSequence{};
  std::vector<uint64_t> mIn = std::vector<uint64_t>(512);
  std::vector<uint64_t> mOut;
};

Size RecordOf(const std::vector<uint8_t>& state)
{
  Size s;
  EXPECT_GE(state.size(), 12u);
  std::memcpy(&s.width, state.data(), 4);
  std::memcpy(&s.height, state.data() + 4, 4);
  std::memcpy(&s.scale, state.data() + 8, 4);
  return s;
}

StateRecord Save(Instance& inst)
{
  StateRecord record;
  EXPECT_EQ(inst.State()->save(inst.Handle(), StateRecord::Store, &record, 0, nullptr), LV2_STATE_SUCCESS);
  return record;
}

LV2_State_Status Restore(Instance& inst, const std::vector<uint8_t>& bytes)
{
  StateRecord record;
  record.key = inst.Map().Map(kStateKey);
  record.type = inst.Map().Map(LV2_ATOM__Chunk);
  record.bytes = bytes;
  record.stored = true;
  return inst.State()->restore(inst.Handle(), StateRecord::Retrieve, &record, 0, nullptr);
}

class LV2EditorSizeRecord : public ::testing::Test
{
protected:
  Module module;
  void SetUp() override { ASSERT_TRUE(module.Loaded()) << dlerror(); }
};

} // namespace

TEST_F(LV2EditorSizeRecord, ASizeSetByTheEditorIsSavedAndAnsweredWhenAsked)
{
  Instance inst(module, 2);
  ASSERT_TRUE(inst.Valid());
  MessagePorts ports(inst);
  ports.Run();
  EXPECT_TRUE(ports.Announced().empty());
  EXPECT_EQ(ports.Out()->atom.size, sizeof(LV2_Atom_Sequence_Body)) << "an empty sequence when there is nothing to say";
  EXPECT_EQ(RecordOf(Save(inst).bytes), Size{}) << "no size before any editor";

  ports.Set({1629, 321, 1.5f});
  ports.Run();
  EXPECT_TRUE(ports.Announced().empty()) << "a set is not echoed";
  const StateRecord saved = Save(inst);
  ASSERT_EQ(saved.bytes.size(), 60u);
  EXPECT_EQ(RecordOf(saved.bytes), (Size{1629, 321, 1.5f}));

  // Asked by name or for everything (as jalv asks when it starts): one answer per run.
  for (const char* property : {kEditorSizeURI, static_cast<const char*>(nullptr)})
  {
    ports.Get(property);
    ports.Run();
    EXPECT_EQ(ports.Announced(), (std::vector<Size>{{1629, 321, 1.5f}}));
  }
  ports.Get();
  ports.Get();
  ports.Set({1200, 250, 1.f});  // later in the same run: the answer is the newest record
  ports.Run();
  EXPECT_EQ(ports.Announced(), (std::vector<Size>{{1200, 250, 1.f}}));
  ports.Run();
  EXPECT_TRUE(ports.Announced().empty());
  EXPECT_TRUE(ports.GuardIntact());
}

// A state carries the size from the AAX build into the LV2 editor and back, and a restore tells
// an open editor without being asked.
TEST_F(LV2EditorSizeRecord, StatesCarryTheSizeBetweenTheBuilds)
{
  std::unique_ptr<Corvane> aax(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  iplug::ByteChunk zoomed;
  const int32_t width = 1086, height = 214;
  const float scale = 2.f;
  zoomed.Put(&width);
  zoomed.Put(&height);
  zoomed.Put(&scale);
  ASSERT_EQ(aax->UnserializeEditorSize(zoomed, 0), 12);
  iplug::ByteChunk aaxState;
  ASSERT_TRUE(aax->WriteState(aaxState));

  Instance inst(module, 2);
  ASSERT_TRUE(inst.Valid());
  MessagePorts ports(inst);
  ports.Run();
  ASSERT_EQ(Restore(inst, std::vector<uint8_t>(aaxState.GetData(), aaxState.GetData() + aaxState.Size())),
            LV2_STATE_SUCCESS);
  ports.Run();
  EXPECT_EQ(ports.Announced(), (std::vector<Size>{{1086, 214, 2.f}}));
  ports.Run();
  EXPECT_TRUE(ports.Announced().empty()) << "announced once";

  ports.Set({1500, 300, 1.25f});
  ports.Run();
  const StateRecord lv2State = Save(inst);
  std::unique_ptr<Corvane> back(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  iplug::ByteChunk chunk;
  chunk.PutBytes(lv2State.bytes.data(), static_cast<int>(lv2State.bytes.size()));
  EXPECT_EQ(back->ReadState(chunk, 0), 60);
  EXPECT_EQ(back->GetLastWidth(), 1500);
  EXPECT_EQ(back->GetLastHeight(), 300);
  EXPECT_EQ(back->GetLastScale(), 1.25f);
}

// What a broken or foreign sender may put on the port: nothing crashes, nothing but the record
// changes, and a record the editor could not show is kept as no size, as a restored one is.
TEST_F(LV2EditorSizeRecord, BadMessagesAreIgnored)
{
  const Size kept{1300, 260, 1.f};
  struct Case
  {
    const char* name;
    void (*send)(MessagePorts&);
    Size expected;  // the record afterwards
  };
  const Size none{};
  const Case cases[] = {
    {"another property", [](MessagePorts& p) { p.Set({900, 200, 1.f}, "http://example.org/size"); }, kept},
    {"not an object", [](MessagePorts& p) { p.Event(); lv2_atom_forge_int(&p.Forge(), 1234); }, kept},
    {"two values", [](MessagePorts& p) {
       p.SetTuple([](LV2_Atom_Forge& forge) {
         lv2_atom_forge_int(&forge, 900);
         lv2_atom_forge_int(&forge, 200);
       });
     }, kept},
    {"a float width", [](MessagePorts& p) {
       p.SetTuple([](LV2_Atom_Forge& forge) {
         lv2_atom_forge_float(&forge, 900.f);
         lv2_atom_forge_int(&forge, 200);
         lv2_atom_forge_float(&forge, 1.f);
       });
     }, kept},
    {"an event longer than its sequence", [](MessagePorts& p) {
       p.Set({900, 200, 1.f});
       auto* ev = lv2_atom_sequence_begin(&p.In()->body);
       ev->body.size = 1u << 30;
     }, kept},
    {"a value longer than its object", [](MessagePorts& p) {
       p.Set({900, 200, 1.f});
       auto* object = reinterpret_cast<LV2_Atom_Object*>(&lv2_atom_sequence_begin(&p.In()->body)->body);
       auto* property = lv2_atom_object_begin(&object->body);
       property->value.size = 0xFFFFFFF0u;
     }, kept},
    {"an input that is no sequence", [](MessagePorts& p) {
       p.Set({900, 200, 1.f});
       p.In()->atom.type = p.Id(LV2_ATOM__Chunk);
     }, kept},
    {"a zoom that is not a number", [](MessagePorts& p) { p.Set({1086, 214, std::numeric_limits<float>::quiet_NaN()}); }, none},
    {"a negative zoom", [](MessagePorts& p) { p.Set({1086, 214, -2.f}); }, none},
    {"a width below any editor", [](MessagePorts& p) { p.Set({2, 214, 1.f}); }, none},
    {"a window larger than any screen", [](MessagePorts& p) { p.Set({40000, 214, 1.f}); }, none},
    {"a negative height", [](MessagePorts& p) { p.Set({1086, -214, 1.f}); }, none},
  };
  for (const Case& c : cases)
  {
    Instance inst(module, 2);
    ASSERT_TRUE(inst.Valid());
    MessagePorts ports(inst);
    ports.Set({kept.width, kept.height, kept.scale});
    ports.Run();
    c.send(ports);
    ports.Run();
    ports.Get();
    ports.Run();
    EXPECT_EQ(ports.Announced(), std::vector<Size>{c.expected}) << c.name;
    EXPECT_EQ(RecordOf(Save(inst).bytes), c.expected) << c.name;
  }
}

// The same record, restored from a state, follows the same rule; a restore that is refused
// announces nothing.
TEST_F(LV2EditorSizeRecord, RestoredRecordsTheEditorCouldNotShowAreNoSize)
{
  Instance inst(module, 2);
  ASSERT_TRUE(inst.Valid());
  MessagePorts ports(inst);
  std::vector<uint8_t> state = Save(inst).bytes;
  const Size unshowable{1086, 214, std::numeric_limits<float>::infinity()};
  std::memcpy(state.data(), &unshowable, 12);
  ASSERT_EQ(Restore(inst, state), LV2_STATE_SUCCESS);
  ports.Run();
  EXPECT_EQ(ports.Announced(), std::vector<Size>{Size{}});

  ports.Set({1500, 300, 1.25f});
  ports.Run();
  state.resize(30);
  EXPECT_NE(Restore(inst, state), LV2_STATE_SUCCESS);
  ports.Run();
  EXPECT_TRUE(ports.Announced().empty());
  EXPECT_EQ(RecordOf(Save(inst).bytes), (Size{1500, 300, 1.25f}));
}

// Room the host gave that is too small for the answer: the output holds an empty sequence and
// nothing is written past it. The answer takes 120 bytes with the sequence's own.
TEST_F(LV2EditorSizeRecord, AnAnswerThatDoesNotFitIsNotWritten)
{
  for (uint32_t capacity : {0u, 8u, 40u, 119u, 120u})
  {
    Instance inst(module, 2);
    ASSERT_TRUE(inst.Valid());
    MessagePorts ports(inst, capacity);
    ports.Set({1500, 300, 1.25f});
    ports.Get();
    ports.Run();
    if (capacity >= sizeof(LV2_Atom_Sequence_Body))
    {
      EXPECT_EQ(ports.Announced().size(), capacity >= 120 ? 1u : 0u) << capacity;
    }
    EXPECT_TRUE(ports.GuardIntact()) << capacity;
  }
}

// Messages in both directions change no sample, and the run stays free of allocation.
TEST_F(LV2EditorSizeRecord, MessagesNeitherChangeTheRenderNorAllocate)
{
  Instance quiet(module, 2, {}, 4096);
  Instance talking(module, 2, {}, 4096);
  ASSERT_TRUE(quiet.Valid() && talking.Valid());
  for (Instance* inst : {&quiet, &talking})
  {
    for (int ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < 4096; ++i)
        inst->In(ch)[i] = static_cast<float>(0.7 * std::sin(0.02 * static_cast<double>(i) * (ch + 1)));
    inst->Control(kGain) = 18.f;
    inst->Control(kOversampling) = 1.f;
  }
  quiet.RenderAll(256);

  MessagePorts ports(talking);
  long allocations = 0;
  for (uint32_t at = 0; at < 4096; at += 256)
  {
    ports.Set({1086 + static_cast<int32_t>(at / 256), 214, 1.5f});
    ports.Get();
    const test::AllocationCounter counter;
    ports.Run(256, at);
    if (at > 0)  // the first run may settle the frame
      allocations += counter.Count();
    EXPECT_EQ(ports.Announced().size(), 1u);
  }
  EXPECT_EQ(allocations, 0);
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(talking.Out(ch), quiet.Out(ch));
}

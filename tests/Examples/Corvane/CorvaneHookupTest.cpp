#include <gtest/gtest.h>

#include <memory>

#include "Corvane.h"
#include "PlatformWindows.h"
#include "platform/IGraphicsWin.h"

using namespace iplug;
using namespace iplug::igraphics;

namespace {

void InThisModule() {}

} // namespace

// The editor the product makes is the Windows context at the face's size, searching the module
// that holds the product's code (here the test program, which links it) for its pictures.
TEST(CorvaneHookup, MakeGraphicsGivesTheWindowsContextOfTheFaceWithTheModulesInstance)
{
  std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  std::unique_ptr<iplug::IEditorView> view(plug->MakeGraphics());
  ASSERT_NE(view, nullptr);
  IGraphics* g = view->GetGraphics();
  ASSERT_NE(dynamic_cast<IGraphicsWin*>(g), nullptr);
  EXPECT_EQ(g->Width(), 1086);
  EXPECT_EQ(g->Height(), 214);
  EXPECT_EQ(g->FPS(), 60);
  EXPECT_EQ(g->GetDrawScale(), 1.f);
  EXPECT_EQ(g->GetDelegate(), static_cast<IGEditorDelegate*>(plug.get()));

  HMODULE self = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCSTR>(&InThisModule), &self));
  EXPECT_EQ(g->GetModuleInstance(), self);
  EXPECT_NE(FindResourceA(static_cast<HMODULE>(g->GetModuleInstance()), "\"BG@2X.PNG\"", "PNG"), nullptr);

  // Each opening gets a context of its own.
  std::unique_ptr<iplug::IEditorView> second(plug->MakeGraphics());
  EXPECT_NE(second.get(), view.get());
}

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "AAX_Errors.h"
#include "ACFExports.h"
#include "HostViewContainer.h"
#include "ModuleHostFixture.h"

namespace {

using aaxhost::HostRef;
using aaxhost::HostServices;

TEST_F(ModuleHost, CanUnloadNowCountsTheObjectsHandedToTheHost)
{
  ASSERT_EQ(host.Startup(), ACF_OK);
  ASSERT_EQ(host.Register(), ACF_OK);
  EXPECT_EQ(host.Module().CanUnloadNow(nullptr), 0);

  auto instance = host.CreateInstance();
  EXPECT_EQ(host.Module().CanUnloadNow(nullptr), 1);
  ASSERT_EQ(instance->Initialize(), AAX_SUCCESS);
  ASSERT_EQ(instance->CreateEditor(), AAX_SUCCESS);
  EXPECT_EQ(host.Module().CanUnloadNow(nullptr), 2) << "one effect-parameters object and one editor";

  instance->ReleaseEditor();
  EXPECT_EQ(host.Module().CanUnloadNow(nullptr), 1);
  instance->ReleaseEffect();
  EXPECT_EQ(host.Module().CanUnloadNow(nullptr), 0);
  EXPECT_EQ(instance->Controller().RefCount(), 1u) << "the module gave back every controller reference";
  EXPECT_TRUE(instance->Controller().Automation().Registered().empty()) << "every parameter unregistered";
}

TEST_F(ModuleHost, StartupKeepsTheFirstServicesUntilANullStartupLetsThemGo)
{
  HostRef<HostServices> second = HostServices::Create();
  IACFUnknown* secondUnknown = static_cast<AAX_IACFHostServices*>(second.get());

  ASSERT_EQ(host.Startup(), ACF_OK);
  EXPECT_EQ(host.Module().Startup(secondUnknown), ACF_OK);
  EXPECT_EQ(second->RefCount(), 1u);

  // A failing registration is traced: to the first services only.
  host.Faults().Fail("new-descriptor", 0);
  host.Register();
  EXPECT_FALSE(host.Services().Traces().empty());
  EXPECT_TRUE(second->Traces().empty());

  EXPECT_EQ(host.Services().RefCount(), 2u);
  EXPECT_EQ(host.Module().Startup(nullptr), ACF_OK);
  EXPECT_EQ(host.Services().RefCount(), 1u);
  host.Services().Clear();
  host.Register();
  EXPECT_TRUE(host.Services().Traces().empty()) << "no services, no traces";

  EXPECT_EQ(host.Module().Startup(secondUnknown), ACF_OK);
  host.Register();
  EXPECT_FALSE(second->Traces().empty()) << "after a null start-up the next host is taken";
  EXPECT_EQ(host.Module().Shutdown(nullptr), ACF_OK);
  EXPECT_EQ(second->RefCount(), 1u);
}

TEST_F(ModuleHost, ExportsAnswerTheirFixedResults)
{
  void* object = reinterpret_cast<void*>(0x1);
  const acfCLSID anyClass = ACFUIDFromText("01234567-89AB-CDEF-0123-456789ABCDEF");
  EXPECT_EQ(host.Module().GetClassFactory(nullptr, anyClass, IID_IACFUnknown, &object), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(host.Module().GetClassFactory(nullptr, anyClass, IID_IACFUnknown, nullptr), AAX_ERROR_UNIMPLEMENTED);

  IACFComponentDefinition* component = reinterpret_cast<IACFComponentDefinition*>(0x1);
  EXPECT_EQ(host.Module().RegisterComponent(nullptr, 0, &component), ACF_OK);
  EXPECT_EQ(component, nullptr);

  uint64_t version = 0;
  EXPECT_EQ(host.Module().GetSDKVersion(&version), ACF_OK);
  EXPECT_EQ(version, 0x00000204013449EAull);
  EXPECT_EQ(version >> 32, 0x204u);
  EXPECT_EQ(version & 0xFFFFFFFFu, 20204010u);
}

TEST(ModuleFile, ExportsOnlyTheSevenEntryPoints)
{
  FILE* pipe = popen((std::string("nm -D --defined-only '") + CORVANE_MODULE_PATH + "'").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string listing;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    listing.append(buffer, n);
  ASSERT_EQ(pclose(pipe), 0) << listing;

  std::set<std::string> names;
  std::istringstream lines(listing);
  std::string address, kind, name;
  while (lines >> address >> kind >> name)
    names.insert(name);
  const std::set<std::string> expected = {"ACFRegisterPlugin", "ACFRegisterComponent", "ACFGetClassFactory",
                                          "ACFCanUnloadNow",   "ACFStartup",           "ACFShutdown",
                                          "ACFGetSDKVersion"};
  EXPECT_EQ(names, expected);
}

TEST_F(ModuleHost, RegistrationHandsBackTheHostsPluginDefinition)
{
  host.Startup();
  ASSERT_EQ(host.Register(), ACF_OK);
  EXPECT_EQ(host.Definition(), static_cast<IACFPluginDefinition*>(host.Collection()));
  EXPECT_EQ(host.Collection()->RefCount(), 2u) << "the host's own reference and the definition";
}

TEST_F(ModuleHost, EditorObjectFindsItsInstanceAndHoldsTheViewContainerWhileSet)
{
  host.Startup();
  ASSERT_EQ(host.Register(), ACF_OK);
  auto instance = host.CreateInstance();
  ASSERT_EQ(instance->Initialize(), AAX_SUCCESS);
  ASSERT_EQ(instance->CreateEditor(), AAX_SUCCESS);
  AAX_IACFEffectGUI* editor = instance->Editor();

  // A parent that is no window: no editor window can open in it, and the host is told so; the
  // container is held all the same until the host takes it away.
  HostRef<aaxhost::HostViewContainer> container(new aaxhost::HostViewContainer(reinterpret_cast<void*>(0x1234)));
  EXPECT_EQ(editor->SetViewContainer(static_cast<AAX_IACFViewContainer*>(container.get())), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(container->RefCount(), 3u) << "the editor holds both interface versions";
  EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS);
  EXPECT_EQ(editor->SetViewContainer(nullptr), AAX_SUCCESS) << "twice is harmless";
  EXPECT_EQ(container->RefCount(), 1u);

  AAX_Point size{1.0f, 2.0f};
  EXPECT_EQ(editor->GetViewSize(&size), AAX_SUCCESS);
  EXPECT_EQ(editor->GetViewSize(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(editor->GetCustomLabel(0, nullptr), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(editor->Initialize(instance->ControllerUnknown()), AAX_ERROR_INVALID_ARGUMENT) << "already initialised";

  void* unknownInterface = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(editor->QueryInterface(IID_IAAXEffectParametersV1, &unknownInterface), ACF_E_NOINTERFACE);
  EXPECT_EQ(unknownInterface, nullptr);
}

TEST_F(ModuleHost, EditorWithoutControllerIsNotInitialised)
{
  host.Startup();
  ASSERT_EQ(host.Register(), ACF_OK);
  void* procedure = host.Collection()->Effects()[0].descriptor->FindProcedure(1);
  ASSERT_NE(procedure, nullptr);
  IACFUnknown* object = reinterpret_cast<AAX_CCreateObjectProc>(procedure)();
  AAX_IACFEffectGUI* editor = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IAAXEffectGUIV1, reinterpret_cast<void**>(&editor)), ACF_OK);
  EXPECT_EQ(editor->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
  EXPECT_EQ(editor->Release(), 0u);
  EXPECT_EQ(host.Module().CanUnloadNow(nullptr), 0);
}

} // namespace

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>

#include <nlohmann/json.hpp>

#include "AAX_Errors.h"
#include "DescribeJson.h"
#include "ModuleHostFixture.h"

namespace {

using Json = nlohmann::ordered_json;

TEST_F(ModuleHost, DescriptionShowsBothComponentsAndEveryParameter)
{
  const Json d = aaxhost::DescribeModule(host);
  EXPECT_EQ(d["manufacturerName"], "Quill Marsh");
  EXPECT_EQ(d["packageNames"], Json::array({"Corvane"}));
  EXPECT_EQ(d["packageVersion"], "0x00030000");
  ASSERT_EQ(d["effects"].size(), 1u);
  const Json& effect = d["effects"][0];
  EXPECT_EQ(effect["names"], Json::array({"Corvane"}));
  EXPECT_EQ(effect["categories"], Json::array({"0x00000040"}));
  EXPECT_EQ(effect["procedures"][0]["id"], 0);
  EXPECT_EQ(effect["procedures"][1]["id"], 1);

  ASSERT_EQ(effect["components"].size(), 2u);
  const char* formats[] = {"0x00000001", "0x00010002"};
  const char* native[] = {"IEF1", "IEF2"};
  const char* offline[] = {"IEA1", "IEA2"};
  for (size_t c = 0; c < 2; ++c)
  {
    const Json& component = effect["components"][c];
    Json kinds = Json::object();
    for (const auto& [index, field] : component["fields"].items())
      kinds[index] = std::string(field["kind"]) + "/" + std::to_string(int(field["size"]));
    Json expectedKinds = {{"0", "audio input/8"}, {"1", "audio output/8"}, {"2", "audio buffer length/4"},
                          {"3", "clock/8"}};
    for (int i = 4; i <= 24; ++i)
      expectedKinds[std::to_string(i)] = "private data/4";
    expectedKinds["7"] = "MIDI node/8";
    expectedKinds["23"] = "private data/8";
    expectedKinds["25"] = "data input port/8";
    EXPECT_EQ(kinds, expectedKinds) << "component " << c;
    EXPECT_EQ(component["fields"]["7"]["name"], "Transport");

    std::vector<std::string> properties;
    for (const auto& property : component["properties"])
    {
      std::string text = std::to_string(int(property["number"])) + "=";
      text += property.contains("fourCC") ? std::string(property["fourCC"])
              : property.contains("hex")  ? std::string(property["hex"])
                                          : std::to_string(int(property["value"]));
      properties.push_back(text);
    }
    const std::vector<std::string> expected = {
      "56=0", std::string("51=") + formats[c], std::string("52=") + formats[c], "60=1", "300=1", "306=1",
      "11=Qmsh", "12=CRVN", std::string("13=") + native[c], std::string("14=") + offline[c]};
    EXPECT_EQ(properties, expected) << "component " << c;
  }

  const Json& instance = effect["instance"];
  EXPECT_EQ(instance["initialize"], 0);
  const std::vector<std::pair<std::string, std::string>> expectedParams = {
    {"", "Master Bypass"}, {"1", "Gain"},   {"2", "Low Gain"},     {"3", "High Gain"},
    {"4", "Output"},       {"5", "Oversampling"}, {"6", "Bypass"}};
  ASSERT_EQ(instance["parameters"].size(), expectedParams.size());
  for (size_t i = 0; i < expectedParams.size(); ++i)
  {
    EXPECT_EQ(instance["parameters"][i]["identifier"], expectedParams[i].first);
    EXPECT_EQ(instance["parameters"][i]["name"], expectedParams[i].second);
  }
  const Json& bypass = instance["parameters"][0];
  EXPECT_EQ(bypass["type"], "discrete");
  EXPECT_EQ(bypass["steps"], 2);
  EXPECT_EQ(bypass["automatable"], true);
  EXPECT_EQ(bypass["valueText"], "bypass");
  EXPECT_EQ(instance["parameters"][1]["valueText"], "0.00dB");
  EXPECT_EQ(instance["parameters"][1]["type"], "continuous");
  EXPECT_DOUBLE_EQ(double(instance["parameters"][1]["default"]), 0.5);
  // The switches reach the host as switches: two steps, a text for each, and texts that parse
  // back (an automation lane shows them, a generic view offers them).
  const std::vector<std::tuple<size_t, std::vector<std::string>>> switches = {
    {5, {"Oversampling Off", "Oversampling On"}}, {6, {"Off", "On"}}};
  for (const auto& [index, texts] : switches)
  {
    const Json& parameter = instance["parameters"][index];
    EXPECT_EQ(parameter["type"], "discrete") << index;
    EXPECT_EQ(parameter["steps"], 2) << index;
    EXPECT_EQ(parameter["valueText"], texts[0]) << index;
    EXPECT_EQ(parameter["texts"], Json(texts)) << index;
  }
  EXPECT_FALSE(instance["parameters"][1].contains("texts")) << "a continuous parameter has no list of texts";

  EXPECT_TRUE(d["traces"].empty());
  EXPECT_TRUE(d["assertions"].empty());
}

// Runs a command and collects its standard output and exit status.
std::pair<int, std::string> RunCommand(const std::string& command)
{
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe)
    return {-1, output};
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    output.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(AaxhostCommand, DescribePrintsTheDescriptionOfTheModuleBesideIt)
{
  // Without --module the command finds the module it was built beside.
  const auto [status, output] = RunCommand(std::string("'") + AAXHOST_PATH + "' describe");
  ASSERT_EQ(status, 0);
  const Json d = Json::parse(output);
  EXPECT_EQ(d["module"], CORVANE_MODULE_PATH);
  EXPECT_EQ(d["effects"][0]["instance"]["parameters"].size(), 7u);

  const auto [badStatus, badOutput] = RunCommand(std::string("'") + AAXHOST_PATH + "' describe --module /no/such/module 2>&1");
  EXPECT_EQ(badStatus, 1);
  EXPECT_NE(badOutput.find("cannot load /no/such/module"), std::string::npos) << badOutput;
}

// ---- Host-side faults during registration ------------------------------------------------------

TEST_F(ModuleHost, MissingComponentDescriptorFailsTheRegistrationAndIsTraced)
{
  host.Startup();
  host.Faults().Fail("new-component-descriptor", 0);
  EXPECT_EQ(host.Register(), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(host.Definition(), nullptr);
  EXPECT_TRUE(host.Collection()->Effects().empty());
  const decltype(Traces(host.Services())) expected = {
    {0x4000000, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)"},
    {0x8000000, "AAXRegisterPlugin exception caught: AAX_ERROR_NULL_OBJECT (-20004)"}};
  EXPECT_EQ(Traces(host.Services()), expected);
}

TEST_F(ModuleHost, FailingAddPropertyEndsTheRegistrationWithItsCode)
{
  host.Startup();
  host.Faults().Fail("add-property", AAX_ERROR_PROPERTY_UNDEFINED, 3);
  EXPECT_EQ(host.Register(), AAX_ERROR_PROPERTY_UNDEFINED);
  EXPECT_EQ(host.Definition(), nullptr);
  EXPECT_TRUE(host.Collection()->Effects().empty());
  EXPECT_EQ(host.Faults().CallCount("add-property"), 4) << "nothing after the failing call";

  // The calls made before it stay made.
  ASSERT_EQ(host.Collection()->CreatedDescriptors().size(), 1u);
  const auto& effect = *host.Collection()->CreatedDescriptors()[0];
  ASSERT_EQ(effect.CreatedComponents().size(), 1u) << "the second component was never begun";
  const auto& component = *effect.CreatedComponents()[0];
  EXPECT_EQ(component.Fields().size(), 26u);
  ASSERT_EQ(component.CreatedPropertyMaps().size(), 1u);
  EXPECT_EQ(component.CreatedPropertyMaps()[0]->Properties().size(), 3u);
  EXPECT_TRUE(component.ProcessProcs().empty());
  EXPECT_EQ(Traces(host.Services()).back().second,
            "AAXRegisterPlugin exception caught: AAX_ERROR_PROPERTY_UNDEFINED (-20039)");
}

TEST_F(ModuleHost, EachFailingHostCallGivesItsResult)
{
  struct Case
  {
    const char* operation;
    AAX_Result injected;
    int passes;
    AAX_Result registration;
    bool assertsAt251;    // the running result skipped (or failed) the add-effect
    bool identitySet;     // manufacturer name and version still set
  };
  const Case cases[] = {
    {"new-descriptor", 0, 0, AAX_ERROR_NULL_OBJECT, false, false},
    {"new-property-map", 0, 1, AAX_ERROR_NULL_OBJECT, false, false},
    {"add-private-data", AAX_ERROR_ACF_ERROR, 0, AAX_ERROR_ACF_ERROR, false, false},
    {"add-audio-in", AAX_ERROR_NULL_COMPONENT, 1, AAX_ERROR_NULL_COMPONENT, false, false},
    {"add-data-in-port", AAX_ERROR_PORT_ID_OUT_OF_RANGE, 0, AAX_ERROR_PORT_ID_OUT_OF_RANGE, false, false},
    {"add-process-proc", AAX_ERROR_ACF_ERROR, 0, AAX_ERROR_ACF_ERROR, false, false},
    {"add-component", AAX_ERROR_DUPLICATE_TYPE_ID, 1, AAX_ERROR_DUPLICATE_TYPE_ID, false, false},
    {"add-name", AAX_ERROR_EMPTY_EFFECT_NAME, 0, AAX_ERROR_EMPTY_EFFECT_NAME, true, true},
    {"add-category", AAX_ERROR_UNIMPLEMENTED, 0, AAX_ERROR_UNIMPLEMENTED, true, true},
    {"add-proc-ptr", AAX_ERROR_NULL_ARGUMENT, 1, AAX_ERROR_NULL_ARGUMENT, true, true},
    {"add-effect", AAX_ERROR_DUPLICATE_EFFECT_ID, 0, AAX_ERROR_DUPLICATE_EFFECT_ID, true, true},
    {"query-plugin-definition", 0, 0, AAX_ERROR_NULL_OBJECT, false, true},
    // Results the registration ignores.
    {"add-package-name", AAX_ERROR_ACF_ERROR, 0, AAX_SUCCESS, false, true},
    {"set-manufacturer-name", AAX_ERROR_ACF_ERROR, 0, AAX_SUCCESS, false, false},
  };
  for (const Case& c : cases)
  {
    aaxhost::StandInHost fresh(CORVANE_MODULE_PATH);
    fresh.Startup();
    fresh.Faults().Fail(c.operation, c.injected, c.passes);
    EXPECT_EQ(fresh.Register(), c.registration) << c.operation;
    EXPECT_EQ(fresh.Definition() != nullptr, c.registration == AAX_SUCCESS) << c.operation;
    const auto asserts = fresh.Services().Asserts();
    EXPECT_EQ(!asserts.empty(), c.assertsAt251) << c.operation;
    for (const auto& report : asserts)
    {
      EXPECT_EQ(report.file, "IPlug/AAX/IPlugAAX_Describe") << c.operation;
      EXPECT_EQ(report.line, 251) << c.operation;
      EXPECT_EQ(report.note, "err == AAX_SUCCESS") << c.operation;
    }
    if (c.assertsAt251 && std::string(c.operation) != "add-effect")
    {
      EXPECT_EQ(fresh.Faults().CallCount("add-effect"), 0) << c.operation << ": add effect is skipped";
    }
    if (c.identitySet)
    {
      EXPECT_EQ(fresh.Collection()->ManufacturerName(), "Quill Marsh") << c.operation;
      EXPECT_EQ(fresh.Collection()->PackageVersion(), 0x00030000u) << c.operation;
    }
    if (c.registration != AAX_SUCCESS)
    {
      ASSERT_FALSE(fresh.Services().Traces().empty()) << c.operation;
      EXPECT_EQ(fresh.Services().Traces().back().text,
                "AAXRegisterPlugin exception caught: " + AAX_ResultMessage(c.registration))
        << c.operation;
    }
  }
}

TEST_F(ModuleHost, WithoutHostServicesFailuresAreSilent)
{
  host.Faults().Fail("new-descriptor", 0);
  EXPECT_EQ(host.Register(), AAX_ERROR_NULL_OBJECT);
  EXPECT_TRUE(host.Services().Traces().empty());
}

} // namespace

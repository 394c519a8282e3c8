#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "IPlugLogger.h"
#include "IPlugProcessor.h"

using namespace iplug;

namespace {

IPlugProcessor MakeProcessor(const char* channelText)
{
  ConfigRecord config;
  config.channelIOStr = channelText;
  return IPlugProcessor(config);
}

std::vector<int> BusChans(const IOConfig& config, ERoute direction)
{
  std::vector<int> chans;
  for (int bus = 0; bus < config.NBuses(direction); ++bus)
    chans.push_back(config.NChansOnBus(direction, bus));
  return chans;
}

struct ParseCase
{
  const char* text;
  std::vector<std::vector<int>> inputs;  // per configuration: channel count of each input bus
  std::vector<std::vector<int>> outputs; // per configuration: channel count of each output bus
  int maxNInputs, maxNOutputs, maxNInBuses, maxNOutBuses;
};

} // namespace

TEST(ChannelIO, ParsesTextIntoConfigurationsInOrder)
{
  const ParseCase cases[] = {
    {"1-1 2-2", {{1}, {2}}, {{1}, {2}}, 2, 2, 1, 1},
    {"*-*", {{kAnyChannelCount}}, {{kAnyChannelCount}}, 0, 0, 1, 1},
    {"2.2-2", {{2, 2}}, {{2}}, 4, 2, 2, 1},
    {"0-2", {{}}, {{2}}, 0, 2, 0, 1},
    {"1.1.1-2", {{1, 1, 1}}, {{2}}, 3, 2, 3, 1},
    {"", {}, {}, 0, 0, 0, 0},
    {"   ", {}, {}, 0, 0, 0, 0},
    {"  1-1    2-2 ", {{1}, {2}}, {{1}, {2}}, 2, 2, 1, 1},
    // Unreadable tokens count 0 and add no bus; "%d" stops at the first non-digit.
    {"x-2 3abc-1", {{}, {3}}, {{2}, {1}}, 3, 2, 1, 1},
    // Runs of separators produce no empty tokens; a third part is ignored.
    {"2..2--1-5", {{2, 2}}, {{1}}, 4, 1, 2, 1},
    // A token without an output part is unsupported but must not break the parse.
    {"2 1-1", {{2}, {1}}, {{}, {1}}, 2, 1, 1, 1},
    // Absurd counts saturate rather than overflow.
    {"99999999999-1", {{INT_MAX}}, {{1}}, INT_MAX, 1, 1, 1},
    {"2147483647.2147483647-1", {{INT_MAX, INT_MAX}}, {{1}}, INT_MAX, 1, 2, 1},
  };

  for (const ParseCase& c : cases)
  {
    SCOPED_TRACE(c.text);
    std::vector<IOConfig> configs;
    int maxIn = -1, maxOut = -1, maxInBuses = -1, maxOutBuses = -1;
    const int n =
      IPlugProcessor::ParseChannelIO(c.text, configs, maxIn, maxOut, maxInBuses, maxOutBuses);

    ASSERT_EQ(n, static_cast<int>(c.inputs.size()));
    ASSERT_EQ(configs.size(), c.inputs.size());
    for (size_t i = 0; i < configs.size(); ++i)
    {
      EXPECT_EQ(BusChans(configs[i], kInput), c.inputs[i]) << "configuration " << i;
      EXPECT_EQ(BusChans(configs[i], kOutput), c.outputs[i]) << "configuration " << i;
      for (const BusInfo& bus : configs[i].mInputBuses)
        EXPECT_EQ(bus.mDirection, kInput);
      for (const BusInfo& bus : configs[i].mOutputBuses)
        EXPECT_EQ(bus.mDirection, kOutput);
    }
    EXPECT_EQ(maxIn, c.maxNInputs);
    EXPECT_EQ(maxOut, c.maxNOutputs);
    EXPECT_EQ(maxInBuses, c.maxNInBuses);
    EXPECT_EQ(maxOutBuses, c.maxNOutBuses);
  }
}

TEST(ChannelIO, NullTextGivesNoConfiguration)
{
  std::vector<IOConfig> configs;
  int a = 7, b = 7, c = 7, d = 7;
  EXPECT_EQ(IPlugProcessor::ParseChannelIO(nullptr, configs, a, b, c, d), 0);
  EXPECT_TRUE(configs.empty());
  EXPECT_EQ(a + b + c + d, 0);
}

TEST(ChannelIO, WildcardTotalsIncludeTheStoredCount)
{
  std::vector<IOConfig> configs;
  int a, b, c, d;
  IPlugProcessor::ParseChannelIO("*.2-2", configs, a, b, c, d);
  ASSERT_EQ(configs.size(), 1u);
  EXPECT_TRUE(configs[0].ContainsWildcard(kInput));
  EXPECT_FALSE(configs[0].ContainsWildcard(kOutput));
  EXPECT_EQ(configs[0].TotalNChannels(kInput), kAnyChannelCount + 2);
  EXPECT_EQ(configs[0].GetBus(kInput, 2), nullptr);
  EXPECT_EQ(configs[0].NChansOnBus(kOutput, -1), 0);
}

TEST(ChannelIO, ChannelListsFollowTheWidestConfiguration)
{
  struct Case
  {
    const char* text;
    int nIn, nOut;
  };
  for (const Case& c : {Case{"1-1 2-2", 2, 2}, Case{"2.2-2", 4, 2}, Case{"0-2", 0, 2},
                        Case{"1-2 2-1", 2, 2}, Case{"", 0, 0}})
  {
    SCOPED_TRACE(c.text);
    IPlugProcessor p = MakeProcessor(c.text);
    EXPECT_EQ(p.ChannelCount(kInput), c.nIn);
    EXPECT_EQ(p.ChannelCount(kOutput), c.nOut);
    EXPECT_EQ(p.ConnectedChannelCount(kInput), 0);
    EXPECT_EQ(p.ConnectedChannelCount(kOutput), 0);
  }
}

TEST(ChannelIO, LegalIOMatchesTotalsAndTracesEachCall)
{
  IPlugProcessor p = MakeProcessor("1-1 2-2");

  std::vector<std::string> lines;
  SetTraceSink([&](const char*, int, const char* message) { lines.emplace_back(message); });

  struct Case
  {
    int nIn, nOut;
    bool legal;
    const char* trace;
  };
  const Case cases[] = {
    {2, 2, true, "2:2:legal"},       {1, 1, true, "1:1:legal"},
    {-1, 2, true, "-1:2:legal"},     {1, 2, false, "1:2:illegal"},
    {2, -1, true, "2:-1:legal"},     {-1, -1, true, "-1:-1:legal"},
    {3, -1, false, "3:-1:illegal"},  {0, 0, false, "0:0:illegal"},
  };
  for (const Case& c : cases)
  {
    lines.clear();
    EXPECT_EQ(p.LegalIO(c.nIn, c.nOut), c.legal) << c.trace;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], c.trace);
  }
  SetTraceSink({});

  EXPECT_FALSE(MakeProcessor("").LegalIO(-1, -1));
}

TEST(ChannelIO, MaxBusCountPrefersTheLaterConfigurationOnTies)
{
  struct Case
  {
    const char* text;
    ERoute direction;
    int count, configIdx;
  };
  const Case cases[] = {
    {"1-1 2-2", kInput, 1, 1},     {"2.2-2 1-1", kInput, 2, 0}, {"2.2-2", kInput, 2, 0},
    {"1-1 1.1-1 2-2", kOutput, 1, 2}, {"0-2 0-1", kInput, 0, 1}, {"", kInput, 0, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    IPlugProcessor p = MakeProcessor(c.text);
    int idx = -1;
    EXPECT_EQ(p.MaxBusCount(c.direction, &idx), c.count);
    EXPECT_EQ(idx, c.configIdx);
    EXPECT_EQ(p.MaxBusCount(c.direction), c.count);
  }
}

TEST(ChannelIO, MaxBusChannels)
{
  struct Case
  {
    const char* text;
    ERoute direction;
    int busIdx, expected;
  };
  const Case cases[] = {
    {"1-1 2-2", kInput, 0, 2},
    {"1-1 2-2", kInput, 1, 0}, // beyond the bus count
    {"1-1 2-2", kInput, -1, 0},
    {"*-*", kInput, 0, -1},
    {"*-*", kOutput, 0, -1},
    {"2-2 *-*", kInput, 0, 2}, // only the first configuration's wildcard counts
    {"2.2-2", kInput, 1, 2},
    {"1-1 1.2-2", kInput, 1, 2}, // configurations with fewer buses count 0
    {"", kInput, 0, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.text << " bus " << c.busIdx);
    EXPECT_EQ(MakeProcessor(c.text).MaxBusChannels(c.direction, c.busIdx), c.expected);
  }
}

TEST(ChannelIO, FindIOConfigNeedsExactBusCounts)
{
  IPlugProcessor p = MakeProcessor("1-1 2-2 2.2-2");
  struct Case
  {
    std::vector<int> in, out;
    int expected;
  };
  const Case cases[] = {
    {{1}, {1}, 0},    {{2}, {2}, 1},   {{2, 2}, {2}, 2}, {{1}, {2}, -1},
    {{2}, {2, 2}, -1}, {{4}, {2}, -1}, {{}, {}, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(p.FindIOConfig(c.in, c.out), c.expected);
}

TEST(ChannelIO, DefaultBusNames)
{
  IPlugProcessor p = MakeProcessor("1-1 2-2");
  struct Case
  {
    ERoute direction;
    int busIdx, nBuses;
    const char* name;
  };
  const Case cases[] = {
    {kInput, 0, 1, "Input"},    {kInput, 0, 2, "Main"},      {kInput, 1, 2, "Aux"},
    {kInput, 0, 3, "Input 0"},  {kInput, 1, 3, "Input 1"},   {kInput, 2, 3, "Input 2"},
    {kOutput, 0, 1, "Output"},  {kOutput, 0, 2, "Output 0"}, {kOutput, 1, 2, "Output 1"},
  };
  for (const Case& c : cases)
  {
    std::string name = "stale";
    p.BusName(c.direction, c.busIdx, c.nBuses, name);
    EXPECT_EQ(name, c.name);
  }
}

TEST(ChannelIO, SideChainTextNamesItsInputsMainAndAux)
{
  IPlugProcessor p = MakeProcessor("2.2-2");
  const int nBuses = p.MaxBusCount(kInput);
  ASSERT_EQ(nBuses, 2);
  std::vector<std::string> names(static_cast<size_t>(nBuses));
  for (int bus = 0; bus < nBuses; ++bus)
    p.BusName(kInput, bus, nBuses, names[static_cast<size_t>(bus)]);
  EXPECT_EQ(names, (std::vector<std::string>{"Main", "Aux"}));
}

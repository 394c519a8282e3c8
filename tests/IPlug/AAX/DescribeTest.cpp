#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_Errors.h"
#include "AAX_VCollection.h"
#include "AAX_VEffectDescriptor.h"
#include "HostCollection.h"
#include "HostServices.h"
#include "IPlugAAX_Describe.h"

namespace {

using aaxhost::HostCollection;
using aaxhost::HostComponentDescriptor;
using aaxhost::HostEffectDescriptor;
using aaxhost::HostRef;
using Properties = std::vector<std::pair<uint32_t, int32_t>>;

constexpr int32_t kMono = 0x00000001;
constexpr int32_t kStereo = 0x00010002;

AAX_SEffectIdentity TestIdentity(const char* names, const char* channels)
{
  AAX_SEffectIdentity identity = kProductEffectIdentity;
  identity.nameText = names;
  identity.channelIOStr = channels;
  return identity;
}

// Describes into a recording collection of the stand-in host, in this process.
class Description : public testing::Test
{
protected:
  void SetUp() override { AAX_CHostServices::Set(static_cast<AAX_IACFHostServices*>(mServices.get())); }
  void TearDown() override { AAX_CHostServices::Kill(); }

  AAX_Result Describe(const AAX_SEffectIdentity& identity)
  {
    AAX_VCollection collection(mCollection->AsUnknown());
    return DescribeEffect(collection, identity);
  }

  const HostEffectDescriptor& Effect() const { return *mCollection->Effects().at(0).descriptor; }

  static Properties PropertiesOf(const HostComponentDescriptor& component)
  {
    return component.ProcessProcs().at(0).properties->Properties();
  }

  std::shared_ptr<aaxhost::HostFaults> mFaults = std::make_shared<aaxhost::HostFaults>();
  HostRef<HostCollection> mCollection{new HostCollection(mFaults)};
  HostRef<aaxhost::HostServices> mServices = aaxhost::HostServices::Create();
};

TEST(StemFormat, FromChannelCount)
{
  const std::pair<int, uint32_t> cases[] = {
    {1, 0x00000001u},  {2, 0x00010002u},  {3, 0x00020003u}, {4, 0x000E0004u},  {5, 0x00050005u},
    {6, 0x00060006u},  {7, 0x000B0007u},  {8, 0x000C0008u}, {9, 0x00120009u},  {10, 0x000D000Au},
    {16, 0x00130010u}, {11, 0xFF9C0000u}, {0, 0xFF9C0000u}, {-64, 0xFF9C0000u}, {17, 0xFF9C0000u},
  };
  for (const auto& [channels, format] : cases)
    EXPECT_EQ(StemFormatForChannels(channels), format) << channels;
}

TEST_F(Description, ProductDescribesAMonoAndAStereoComponent)
{
  ASSERT_EQ(Describe(kProductEffectIdentity), AAX_SUCCESS);
  ASSERT_EQ(mCollection->Effects().size(), 1u);
  EXPECT_EQ(mCollection->Effects()[0].identifier.substr(mCollection->Effects()[0].identifier.size() - 12),
            ".aax.Corvane");
  EXPECT_EQ(Effect().Names(), std::vector<std::string>{"Corvane"});
  EXPECT_EQ(mCollection->PackageNames(), std::vector<std::string>{"Corvane"});
  EXPECT_EQ(Effect().Categories(), std::vector<uint32_t>{0x40});
  EXPECT_EQ(mCollection->ManufacturerName(), "Quill Marsh");
  EXPECT_EQ(mCollection->PackageVersion(), 0x00030000u);
  ASSERT_EQ(Effect().Procedures().size(), 2u);
  EXPECT_EQ(Effect().Procedures()[0].id, 0u);
  EXPECT_EQ(Effect().Procedures()[1].id, 1u);

  ASSERT_EQ(Effect().Components().size(), 2u);
  const int32_t formats[] = {kMono, kStereo};
  const char* native[] = {"IEF1", "IEF2"};
  const char* offline[] = {"IEA1", "IEA2"};
  for (size_t c = 0; c < 2; ++c)
  {
    const HostComponentDescriptor& component = *Effect().Components()[c];
    ASSERT_EQ(component.Fields().size(), 26u) << "fields 0 to 25; no side chain";
    for (AAX_CFieldIndex i : {4, 5, 6, 8, 9, 15, 22, 24})
    {
      ASSERT_NE(component.FindField(i), nullptr) << i;
      EXPECT_EQ(component.FindField(i)->kind, "private data") << i;
      EXPECT_EQ(component.FindField(i)->size, 4) << i;
    }
    EXPECT_EQ(component.FindField(7)->kind, "MIDI node");
    EXPECT_EQ(component.FindField(7)->name, "Transport");
    EXPECT_EQ(component.FindField(7)->nodeType, AAX_eMIDINodeType_Transport);
    EXPECT_EQ(component.FindField(7)->mask, 0xFFFFu);
    EXPECT_EQ(component.FindField(0)->kind, "audio input");
    EXPECT_EQ(component.FindField(1)->kind, "audio output");
    EXPECT_EQ(component.FindField(2)->kind, "audio buffer length");
    EXPECT_EQ(component.FindField(3)->kind, "clock");
    EXPECT_EQ(component.FindField(23)->kind, "private data");
    EXPECT_EQ(component.FindField(23)->size, 8);
    EXPECT_EQ(component.FindField(25)->kind, "data input port");
    EXPECT_EQ(component.FindField(25)->size, 8);
    EXPECT_EQ(component.FindField(25)->portType, 1);
    EXPECT_EQ(component.FindField(26), nullptr);

    const Properties expected = {
      {56, 0},
      {51, formats[c]},
      {52, formats[c]},
      {60, 1},
      {300, 1},
      {306, 1},
      {11, static_cast<int32_t>(AAX_TypeID('Q', 'm', 's', 'h'))},
      {12, static_cast<int32_t>(AAX_TypeID('C', 'R', 'V', 'N'))},
      {13, static_cast<int32_t>(AAX_TypeID(native[c][0], native[c][1], native[c][2], native[c][3]))},
      {14, static_cast<int32_t>(AAX_TypeID(offline[c][0], offline[c][1], offline[c][2], offline[c][3]))},
    };
    EXPECT_EQ(PropertiesOf(component), expected) << "component " << c;
  }
  EXPECT_TRUE(mServices->Asserts().empty());
  EXPECT_TRUE(mServices->Traces().empty());
}

TEST_F(Description, EachNameLineIsOneEffectNameAndOnePackageName)
{
  ASSERT_EQ(Describe(TestIdentity("Corvane\nCrv", "1-1")), AAX_SUCCESS);
  EXPECT_EQ(Effect().Names(), (std::vector<std::string>{"Corvane", "Crv"}));
  EXPECT_EQ(mCollection->PackageNames(), (std::vector<std::string>{"Corvane", "Crv"}));
}

TEST_F(Description, ATextBeginningWithALineFeedGivesNoName)
{
  ASSERT_EQ(Describe(TestIdentity("\nCorvane", "1-1")), AAX_SUCCESS);
  EXPECT_TRUE(Effect().Names().empty());
  EXPECT_TRUE(mCollection->PackageNames().empty());
}

TEST_F(Description, AtMostTwoConfigurationsBecomeComponents)
{
  ASSERT_EQ(Describe(TestIdentity("Corvane", "1-1 2-2 4-4")), AAX_SUCCESS);
  ASSERT_EQ(Effect().Components().size(), 2u);
  EXPECT_EQ(Effect().Components()[1]->ProcessProcs()[0].properties->Properties()[1],
            (std::pair<uint32_t, int32_t>{51, kStereo}));
}

TEST_F(Description, SideChainLayoutsDescribeOnlyTheSingleInputLayouts)
{
  ASSERT_EQ(Describe(TestIdentity("Corvane", "1.1-1 1-1 2.1-2 2-2")), AAX_SUCCESS);
  ASSERT_EQ(Effect().Components().size(), 2u);
  for (size_t c = 0; c < 2; ++c)
  {
    const HostComponentDescriptor& component = *Effect().Components()[c];
    ASSERT_NE(component.FindField(26), nullptr);
    EXPECT_EQ(component.FindField(26)->kind, "side-chain input");
    const Properties properties = PropertiesOf(component);
    ASSERT_GE(properties.size(), 2u);
    EXPECT_EQ(properties[0], (std::pair<uint32_t, int32_t>{116, 1})) << "side chain comes before latency";
    EXPECT_EQ(properties[1], (std::pair<uint32_t, int32_t>{56, 0}));
    EXPECT_EQ(properties[2].second, c == 0 ? kMono : kStereo);
    EXPECT_EQ(properties[properties.size() - 2].second,
              static_cast<int32_t>(c == 0 ? AAX_TypeID('I', 'E', 'F', '1') : AAX_TypeID('I', 'E', 'F', '2')));
  }
}

TEST_F(Description, FurtherOutputBusesBecomeNamedAuxStems)
{
  ASSERT_EQ(Describe(TestIdentity("Corvane", "2-2.1.2.11")), AAX_SUCCESS);
  const auto& stems = Effect().Components()[0]->AuxOutputStems();
  ASSERT_EQ(stems.size(), 3u);
  EXPECT_EQ(stems[0].stemFormat, 0x00000001u);
  EXPECT_EQ(stems[0].name, "Output 2");
  EXPECT_EQ(stems[1].stemFormat, 0x00010002u);
  EXPECT_EQ(stems[1].name, "Output 3");
  EXPECT_EQ(stems[2].stemFormat, 0xFF9C0000u) << "an 11-channel bus has no format";
  EXPECT_EQ(stems[2].name, "Output 4");
}

TEST_F(Description, ComponentOptionsAndOutOfRangeSetupsAreReported)
{
  AAX_VCollection collection(mCollection->AsUnknown());
  AAX_VEffectDescriptor* effect = collection.NewDescriptor();
  ASSERT_NE(effect, nullptr);

  const AAX_CTypeID meters[] = {AAX_TypeID('m', 't', 'r', '1'), AAX_TypeID('m', 't', 'r', '2')};
  AAX_SIPlugComponentSetup setup;
  setup.mWantsGlobalMIDI = true;
  setup.mWantsInputMIDI = true;
  setup.mInputMIDINodeName = "In";
  setup.mInputMIDIChannelMask = 3;
  setup.mNumAdditionalInputMIDINodes = 16;
  setup.mNumMeters = 2;
  setup.mMeterIDs = meters;
  setup.mNumAuxOutputStems = 33;
  setup.mHybridInputStemFormat = AAX_eStemFormat_Stereo;
  setup.mUsesClientGUI = true;
  setup.mSupportsSaveRestore = false;
  setup.mCanBypass = false;
  EXPECT_EQ(DescribeComponent(*effect, setup), AAX_SUCCESS);

  const HostComponentDescriptor& component = *static_cast<HostEffectDescriptor*>(
    static_cast<AAX_IACFEffectDescriptor*>(effect->GetIUnknown()))->Components().at(0);
  EXPECT_EQ(component.FindField(6)->nodeType, AAX_eMIDINodeType_Global);
  EXPECT_EQ(component.FindField(6)->name, "GlobalMIDI");
  EXPECT_EQ(component.FindField(4)->nodeType, AAX_eMIDINodeType_LocalInput);
  EXPECT_EQ(component.FindField(5)->kind, "private data");
  EXPECT_EQ(component.FindField(7)->kind, "private data") << "no transport wanted";
  for (AAX_CFieldIndex i = 8; i <= 22; ++i)
  {
    EXPECT_EQ(component.FindField(i)->kind, "MIDI node") << i;
    EXPECT_EQ(component.FindField(i)->name, "In") << i;
    EXPECT_EQ(component.FindField(i)->mask, 3u) << i;
  }
  EXPECT_EQ(component.FindField(24)->kind, "meters");
  EXPECT_EQ(component.FindField(24)->meterIDs.size(), 2u);
  EXPECT_EQ(component.AuxOutputStems().size(), 32u) << "the stem tables hold 32";

  const Properties properties = PropertiesOf(component);
  EXPECT_EQ(properties.front(), (std::pair<uint32_t, int32_t>{151, 1}));
  for (const auto& [number, value] : properties)
  {
    EXPECT_NE(number, 90u) << "one hybrid format alone registers neither";
    EXPECT_NE(number, 91u);
    EXPECT_NE(number, 306u);
    EXPECT_NE(number, 14u) << "no offline type identifier";
    if (number == 60)
    {
      EXPECT_EQ(value, 0);
    }
  }
  EXPECT_EQ(properties.back(), (std::pair<uint32_t, int32_t>{304, 0}));

  std::vector<std::pair<int32_t, std::string>> reports;
  for (const auto& report : mServices->Asserts())
    reports.emplace_back(report.line, report.note);
  const std::vector<std::pair<int32_t, std::string>> expected = {
    {148, "setupInfo.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes"},
    {178, "setupInfo.mNumAuxOutputStems <= kMaxAuxOutputStems"},
    {200, "(AAX_eStemFormat_None != setupInfo.mHybridInputStemFormat) == "
          "(AAX_eStemFormat_None != setupInfo.mHybridOutputStemFormat)"},
  };
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(mServices->Asserts()[0].file, "IPlug/AAX/IPlugAAX_Parameters");
}

TEST_F(Description, BothHybridFormatsRegisterInputThenOutput)
{
  AAX_VCollection collection(mCollection->AsUnknown());
  AAX_VEffectDescriptor* effect = collection.NewDescriptor();
  AAX_SIPlugComponentSetup setup;
  setup.mHybridInputStemFormat = AAX_eStemFormat_Stereo;
  setup.mHybridOutputStemFormat = AAX_eStemFormat_Mono;
  DescribeComponent(*effect, setup);
  const auto& component = *static_cast<HostEffectDescriptor*>(
    static_cast<AAX_IACFEffectDescriptor*>(effect->GetIUnknown()))->Components().at(0);
  const Properties properties = PropertiesOf(component);
  ASSERT_GE(properties.size(), 2u);
  EXPECT_EQ(properties[0], (std::pair<uint32_t, int32_t>{91, kStereo}));
  EXPECT_EQ(properties[1], (std::pair<uint32_t, int32_t>{90, kMono}));
  EXPECT_TRUE(mServices->Asserts().empty());
}

TEST_F(Description, AFailingHostCallInAComponentAbandonsWithItsCode)
{
  mFaults->Fail("add-midi-node", AAX_ERROR_PORT_ID_OUT_OF_RANGE);
  EXPECT_THROW(
    {
      try
      {
        Describe(kProductEffectIdentity);
      }
      catch (const AAX_CheckedResult::Exception& e)
      {
        EXPECT_EQ(e.Result(), AAX_ERROR_PORT_ID_OUT_OF_RANGE);
        throw;
      }
    },
    AAX_CheckedResult::Exception);
  EXPECT_TRUE(mCollection->Effects().empty());
}

} // namespace

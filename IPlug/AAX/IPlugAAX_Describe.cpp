#include "IPlugAAX_Describe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AAX_CEffectGUI_IPLUG.h"
#include "AAX_CHostServices.h"
#include "AAX_CheckedResult.h"
#include "AAX_Errors.h"
#include "AAX_RenderInstances.h"
#include "AAX_VCollection.h"
#include "AAX_VComponentDescriptor.h"
#include "AAX_VEffectDescriptor.h"
#include "AAX_VPropertyMap.h"
#include "CreatePlugin.h"
#include "IPlugProcessor.h"

namespace {

constexpr const char* kDescribeFile = "IPlug/AAX/IPlugAAX_Describe";
constexpr const char* kParametersFile = "IPlug/AAX/IPlugAAX_Parameters";

// Fills a component's setup from one accepted configuration; the aux stem names live in
// `auxNames` until the component is described.
void FillSetup(AAX_SIPlugComponentSetup& setup, const iplug::IOConfig& config, const AAX_SEffectIdentity& identity,
               int idIndex, std::vector<std::string>& auxNames)
{
  using iplug::kInput;
  using iplug::kOutput;
  setup.mInputStemFormat = StemFormatForChannels(config.NChansOnBus(kInput, 0));
  setup.mOutputStemFormat = StemFormatForChannels(config.NChansOnBus(kOutput, 0));
  setup.mNumAuxOutputStems = config.NBuses(kOutput) - 1;
  const int numAux = std::clamp(setup.mNumAuxOutputStems, 0, static_cast<int>(kMaxAuxOutputStems));
  auxNames.assign(static_cast<size_t>(numAux), std::string());
  for (int j = 0; j < numAux; ++j)
  {
    setup.mAuxOutputStemFormats[j] = StemFormatForChannels(config.NChansOnBus(kOutput, j + 1));
    char name[32];
    std::snprintf(name, sizeof(name), "Output %i", j + 2);
    auxNames[static_cast<size_t>(j)] = name;
    setup.mAuxOutputStemNames[j] = auxNames[static_cast<size_t>(j)].c_str();
  }
  setup.mManufacturerID = identity.manufacturerID;
  setup.mProductID = identity.productID;
  setup.mPluginID = identity.nativeTypeIDs[idIndex];
  setup.mAudiosuiteID = identity.audioSuiteTypeIDs[idIndex];
  setup.mCanBypass = true;
  setup.mWantsInputMIDI = false;
  setup.mInputMIDINodeName = identity.midiNodeName;
  setup.mInputMIDIChannelMask = 1;
  setup.mWantsOutputMIDI = false;
  setup.mOutputMIDINodeName = identity.midiNodeName;
  setup.mOutputMIDIChannelMask = 1;
  setup.mWantsTransport = true;
  setup.mLatency = 0;
}

// A MIDI node when wanted, else the 4-byte placeholder that keeps the field index in use.
AAX_Result AddNodeOrPlaceholder(AAX_VComponentDescriptor& component, AAX_CFieldIndex field, bool wanted,
                                AAX_EMIDINodeType type, const char* name, uint32_t mask)
{
  return wanted ? component.AddMIDINode(field, type, name, mask) : component.AddPrivateData(field, 4, 0);
}

} // namespace

uint32_t StemFormatForChannels(int numChannels)
{
  switch (numChannels)
  {
    case 1: return AAX_eStemFormat_Mono;
    case 2: return AAX_eStemFormat_Stereo;
    case 3: return AAX_eStemFormat_LCR;
    case 4: return AAX_eStemFormat_Quad;
    case 5: return AAX_eStemFormat_5_0;
    case 6: return AAX_eStemFormat_5_1;
    case 7: return AAX_eStemFormat_6_1;
    case 8: return AAX_eStemFormat_7_1_DTS;
    case 9: return AAX_eStemFormat_7_0_2;
    case 10: return AAX_eStemFormat_7_1_2;
    case 16: return AAX_eStemFormat_Ambi_3_ACN;
    default: return AAX_eStemFormat_None;
  }
}

AAX_Result DescribeEffect(AAX_VCollection& collection)
{
  return DescribeEffect(collection, kProductEffectIdentity);
}

AAX_Result DescribeEffect(AAX_VCollection& collection, const AAX_SEffectIdentity& identity)
{
  AAX_VEffectDescriptor* effect = collection.NewDescriptor();
  if (!effect)
    return AAX_ERROR_NULL_OBJECT;

  // Results combine as bits, the way the host's own description chains do; any failure leaves
  // the running result non-zero.
  AAX_Result err = AAX_SUCCESS;

  // One effect name and one package name per line; an empty line ends the list.
  for (const char* line = identity.nameText; line;)
  {
    const size_t n = std::strcspn(line, "\n");
    if (n == 0)
      break;
    const std::string name(line, n);
    err |= effect->AddName(name.c_str());
    collection.AddPackageName(name.c_str());
    line = line[n] == '\n' ? line + n + 1 : nullptr;
  }

  err |= effect->AddCategory(identity.category);

  std::vector<iplug::IOConfig> configs;
  int maxNInputs = 0, maxNOutputs = 0, maxNInBuses = 0, maxNOutBuses = 0;
  iplug::IPlugProcessor::ParseChannelIO(identity.channelIOStr, configs, maxNInputs, maxNOutputs, maxNInBuses,
                                        maxNOutBuses);
  constexpr int kNumTypeIDs = static_cast<int>(sizeof(identity.nativeTypeIDs) / sizeof(identity.nativeTypeIDs[0]));
  std::vector<std::string> auxNames;
  if (maxNInBuses <= 1)
  {
    for (int i = 0; i < static_cast<int>(configs.size()) && i < kNumTypeIDs; ++i)
    {
      AAX_SIPlugComponentSetup setup;
      FillSetup(setup, configs[static_cast<size_t>(i)], identity, i, auxNames);
      DescribeComponent(*effect, setup);
    }
  }
  else
  {
    // With side-chain layouts only the single-input-bus layouts become components; the host
    // feeds the side chain through its own field.
    int k = 0;
    for (const iplug::IOConfig& config : configs)
    {
      if (k >= kNumTypeIDs)
        break;
      if (config.NBuses(iplug::kInput) != 1)
        continue;
      AAX_SIPlugComponentSetup setup;
      FillSetup(setup, config, identity, k, auxNames);
      setup.mWantsSideChain = true;
      DescribeComponent(*effect, setup);
      ++k;
    }
  }

  err |= effect->AddProcPtr(reinterpret_cast<void*>(&MakeEffectParameters), 0);
  err |= effect->AddProcPtr(reinterpret_cast<void*>(&MakeEffectGUI), 1);

  if (AAX_AssertReport(err == AAX_SUCCESS, kDescribeFile, 251, "err == AAX_SUCCESS"))
  {
    err = collection.AddEffect(identity.effectID, effect);
    AAX_AssertReport(err == AAX_SUCCESS, kDescribeFile, 251, "err == AAX_SUCCESS");
  }

  collection.SetManufacturerName(identity.manufacturerName);
  collection.SetPackageVersion(identity.packageVersion);
  return err;
}

AAX_Result DescribeComponent(AAX_VEffectDescriptor& effectDescriptor, const AAX_SIPlugComponentSetup& setup)
{
  AAX_CheckedResult err;

  AAX_VComponentDescriptor* component = effectDescriptor.NewComponentDescriptor();
  if (!component)
  {
    err = AAX_ERROR_NULL_OBJECT;  // abandons the registration
    return AAX_ERROR_NULL_OBJECT;
  }

  err = AddNodeOrPlaceholder(*component, kAAXField_GlobalNode, setup.mWantsGlobalMIDI, AAX_eMIDINodeType_Global,
                             setup.mGlobalMIDINodeName, setup.mGlobalMIDIEventMask);
  err = AddNodeOrPlaceholder(*component, kAAXField_InputNode, setup.mWantsInputMIDI, AAX_eMIDINodeType_LocalInput,
                             setup.mInputMIDINodeName, setup.mInputMIDIChannelMask);
  err = AddNodeOrPlaceholder(*component, kAAXField_OutputNode, setup.mWantsOutputMIDI,
                             AAX_eMIDINodeType_LocalOutput, setup.mOutputMIDINodeName, setup.mOutputMIDIChannelMask);
  err = AddNodeOrPlaceholder(*component, kAAXField_TransportNode, setup.mWantsTransport, AAX_eMIDINodeType_Transport,
                             setup.mTransportMIDINodeName, 0xFFFF);

  AAX_AssertReport(setup.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes, kParametersFile, 148,
                   "setupInfo.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes");
  for (int32_t k = 0; k < kMaxAdditionalMIDINodes; ++k)
    err = AddNodeOrPlaceholder(*component, kAAXField_AdditionalInputNodes + k, k < setup.mNumAdditionalInputMIDINodes,
                               AAX_eMIDINodeType_LocalInput, setup.mInputMIDINodeName, setup.mInputMIDIChannelMask);

  err = component->AddAudioIn(kAAXField_Inputs);
  err = component->AddAudioOut(kAAXField_Outputs);
  err = component->AddAudioBufferLength(kAAXField_NumSamples);
  err = component->AddClock(kAAXField_Clock);

  if (setup.mNumMeters >= 1)
    err = component->AddMeters(kAAXField_Meters, setup.mMeterIDs, static_cast<uint32_t>(setup.mNumMeters));
  else
    err = component->AddPrivateData(kAAXField_Meters, 4, 0);

  if (setup.mWantsSideChain)
    err = component->AddSideChainIn(kAAXField_SideChain);

  AAX_AssertReport(setup.mNumAuxOutputStems <= kMaxAuxOutputStems, kParametersFile, 178,
                   "setupInfo.mNumAuxOutputStems <= kMaxAuxOutputStems");
  // The name and format tables hold 32 stems; more are reported above, never read.
  const int32_t numAux = std::min(setup.mNumAuxOutputStems, kMaxAuxOutputStems);
  for (int32_t j = 0; j < numAux; ++j)
    err = component->AddAuxOutputStem(0, setup.mAuxOutputStemFormats[j], setup.mAuxOutputStemNames[j]);

  err = component->AddPrivateData(kAAXField_PrivateData, sizeof(AAX_SIPlugPrivateData), 0);
  err = component->AddDataInPort(kAAXField_CurrentStateNum, sizeof(int64_t), AAX_eDataInPortType_Buffered);

  AAX_VPropertyMap* properties = component->NewPropertyMap();
  if (!properties)
  {
    err = AAX_ERROR_NULL_OBJECT;  // abandons the registration
    return AAX_ERROR_NULL_OBJECT;
  }

  if (setup.mUsesClientGUI)
    err = properties->AddProperty(AAX_eProperty_UsesClientGUI, 1);
  const bool hybridIn = setup.mHybridInputStemFormat != AAX_eStemFormat_None;
  const bool hybridOut = setup.mHybridOutputStemFormat != AAX_eStemFormat_None;
  AAX_AssertReport(hybridIn == hybridOut, kParametersFile, 200,
                   "(AAX_eStemFormat_None != setupInfo.mHybridInputStemFormat) == "
                   "(AAX_eStemFormat_None != setupInfo.mHybridOutputStemFormat)");
  if (hybridIn && hybridOut)
  {
    err = properties->AddProperty(AAX_eProperty_HybridInputStemFormat, static_cast<int32_t>(setup.mHybridInputStemFormat));
    err = properties->AddProperty(AAX_eProperty_HybridOutputStemFormat, static_cast<int32_t>(setup.mHybridOutputStemFormat));
  }
  if (setup.mWantsSideChain)
    err = properties->AddProperty(AAX_eProperty_SupportsSideChainInput, 1);
  err = properties->AddProperty(AAX_eProperty_LatencyContribution, setup.mLatency);
  err = properties->AddProperty(AAX_eProperty_InputStemFormat, static_cast<int32_t>(setup.mInputStemFormat));
  err = properties->AddProperty(AAX_eProperty_OutputStemFormat, static_cast<int32_t>(setup.mOutputStemFormat));
  err = properties->AddProperty(AAX_eProperty_CanBypass, setup.mCanBypass ? 1 : 0);
  err = properties->AddProperty(AAX_eProperty_ConstraintLocation, 1);
  if (setup.mWantsTransport)
    err = properties->AddProperty(AAX_eProperty_UsesTransport, 1);
  err = properties->AddProperty(AAX_eProperty_ManufacturerID, static_cast<int32_t>(setup.mManufacturerID));
  err = properties->AddProperty(AAX_eProperty_ProductID, static_cast<int32_t>(setup.mProductID));
  err = properties->AddProperty(AAX_eProperty_PlugInID_Native, static_cast<int32_t>(setup.mPluginID));
  if (setup.mAudiosuiteID != AAX_TypeIDNone)
    err = properties->AddProperty(AAX_eProperty_PlugInID_AudioSuite, static_cast<int32_t>(setup.mAudiosuiteID));
  if (!setup.mSupportsSaveRestore)
    err = properties->AddProperty(AAX_eProperty_SupportsSaveRestore, 0);

  err = component->AddProcessProc_Native(&RenderInstances, properties, nullptr, nullptr, nullptr);
  err = effectDescriptor.AddComponent(component);
  return AAX_SUCCESS;
}

IACFUnknown* MakeEffectParameters()
{
  iplug::IPlugAAX* plugin = CreatePlugin(InstanceInfo{});
  if (!plugin)
    return nullptr;
  return static_cast<AAX_IEffectParameters*>(plugin);
}

IACFUnknown* MakeEffectGUI()
{
  try
  {
    return static_cast<AAX_IEffectGUI*>(new AAX_CEffectGUI_IPLUG());
  }
  catch (...)
  {
    return nullptr;
  }
}

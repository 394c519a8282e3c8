#pragma once

#include "AAX.h"
#include "AAX_SIPlugContext.h"

// Everything one processing component is described with. The defaults describe a component
// that wants nothing beyond audio; the effect description fills in the product's choices.
struct AAX_SIPlugComponentSetup
{
  AAX_SIPlugComponentSetup()
  {
    for (uint32_t& format : mAuxOutputStemFormats)
      format = AAX_eStemFormat_Mono;
  }

  bool mWantsGlobalMIDI = false;
  const char* mGlobalMIDINodeName = "GlobalMIDI";
  uint32_t mGlobalMIDIEventMask = 0xFFFF;
  bool mWantsInputMIDI = false;
  const char* mInputMIDINodeName = "InputMIDI";
  uint32_t mInputMIDIChannelMask = 0xFFFF;
  int32_t mNumAdditionalInputMIDINodes = 0;
  bool mWantsOutputMIDI = false;
  const char* mOutputMIDINodeName = "OutputMIDI";
  uint32_t mOutputMIDIChannelMask = 0xFFFF;
  bool mWantsTransport = false;
  const char* mTransportMIDINodeName = "Transport";
  int32_t mNumMeters = 0;
  const AAX_CTypeID* mMeterIDs = nullptr;
  int32_t mNumAuxOutputStems = 0;
  const char* mAuxOutputStemNames[kMaxAuxOutputStems] = {};
  uint32_t mAuxOutputStemFormats[kMaxAuxOutputStems];
  uint32_t mHybridInputStemFormat = AAX_eStemFormat_None;
  uint32_t mHybridOutputStemFormat = AAX_eStemFormat_None;
  uint32_t mInputStemFormat = AAX_eStemFormat_Mono;
  uint32_t mOutputStemFormat = AAX_eStemFormat_Mono;
  bool mUsesClientGUI = false;       // property 151
  bool mCanBypass = true;            // property 60
  bool mWantsSideChain = false;
  AAX_CTypeID mManufacturerID = AAX_TypeIDNone;
  AAX_CTypeID mProductID = AAX_TypeIDNone;
  AAX_CTypeID mPluginID = AAX_TypeIDNone;       // real-time processing
  AAX_CTypeID mAudiosuiteID = AAX_TypeIDNone;   // offline processing
  bool mSupportsSaveRestore = true;  // property 304
  int32_t mLatency = 0;              // samples
};

#pragma once

#include <cstdint>

// The basic AAX types shared by the module and the host: results, identifiers, the property
// numbers and stem formats the description uses, parameter kinds and the host's chunk record.

using AAX_Result = int32_t;
using AAX_CBoolean = uint8_t;
using AAX_CParamID = const char*;     // a parameter identifier: text, at most 31 characters
using AAX_CTypeID = uint32_t;         // a four-character code, first character in the top byte
using AAX_CFieldIndex = int32_t;      // a field of the render context
using AAX_CPropertyValue = int32_t;
using AAX_CSampleRate = float;
using AAX_CTimestamp = uint64_t;
using AAX_CSelector = uint32_t;
using AAX_CProcPtrID = uint32_t;

constexpr AAX_Result AAX_SUCCESS = 0;

// Four-character codes of the description.
constexpr AAX_CTypeID AAX_TypeID(char a, char b, char c, char d)
{
  return (static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(d));
}
constexpr AAX_CTypeID AAX_TypeIDNone = 0x6E6F6E65;  // 'none'

// Stem formats: the low 16 bits are the channel count.
enum AAX_EStemFormat : uint32_t
{
  AAX_eStemFormat_Mono = 0x00000001,
  AAX_eStemFormat_Stereo = 0x00010002,
  AAX_eStemFormat_LCR = 0x00020003,
  AAX_eStemFormat_Quad = 0x000E0004,
  AAX_eStemFormat_5_0 = 0x00050005,
  AAX_eStemFormat_5_1 = 0x00060006,
  AAX_eStemFormat_6_1 = 0x000B0007,
  AAX_eStemFormat_7_1_DTS = 0x000C0008,
  AAX_eStemFormat_7_0_2 = 0x00120009,
  AAX_eStemFormat_7_1_2 = 0x000D000A,
  AAX_eStemFormat_Ambi_3_ACN = 0x00130010,
  AAX_eStemFormat_None = 0xFF9C0000
};

constexpr int32_t AAX_StemFormatChannelCount(uint32_t format)
{
  return static_cast<int32_t>(format & 0xFFFFu);
}

// Property numbers a component registers.
enum AAX_EProperty : uint32_t
{
  AAX_eProperty_ManufacturerID = 11,
  AAX_eProperty_ProductID = 12,
  AAX_eProperty_PlugInID_Native = 13,
  AAX_eProperty_PlugInID_AudioSuite = 14,
  AAX_eProperty_InputStemFormat = 51,
  AAX_eProperty_OutputStemFormat = 52,
  AAX_eProperty_LatencyContribution = 56,
  AAX_eProperty_CanBypass = 60,
  AAX_eProperty_HybridOutputStemFormat = 90,
  AAX_eProperty_HybridInputStemFormat = 91,
  AAX_eProperty_SupportsSideChainInput = 116,
  AAX_eProperty_UsesClientGUI = 151,
  AAX_eProperty_UsesTransport = 306,
  AAX_eProperty_ConstraintLocation = 300,
  AAX_eProperty_SupportsSaveRestore = 304
};

// MIDI node kinds.
enum AAX_EMIDINodeType : int32_t
{
  AAX_eMIDINodeType_LocalInput = 0,
  AAX_eMIDINodeType_LocalOutput = 1,
  AAX_eMIDINodeType_Global = 2,
  AAX_eMIDINodeType_Transport = 3
};

// Data-in port kinds.
enum AAX_EDataInPortType : int32_t
{
  AAX_eDataInPortType_Unbuffered = 0,
  AAX_eDataInPortType_Buffered = 1
};

// Parameter kinds and orientations.
enum AAX_EParameterType : int32_t
{
  AAX_eParameterType_Discrete = 0,
  AAX_eParameterType_Continuous = 1
};

using AAX_EParameterOrientation = int32_t;
constexpr AAX_EParameterOrientation AAX_eParameterOrientation_Default = 0;

// Who made a parameter change reach the plug-in.
enum AAX_EUpdateSource : int32_t
{
  AAX_eUpdateSource_Unspecified = 0,
  AAX_eUpdateSource_Parameter = 1,
  AAX_eUpdateSource_Chunk = 2,
  AAX_eUpdateSource_Delay = 3
};

// A view size or position: vertical first, horizontal second.
struct AAX_Point
{
  float vert = 0.0f;
  float horz = 0.0f;
};

struct AAX_Rect
{
  float top = 0.0f;
  float left = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
};

// The host's chunk record: a header filled by the host and `fSize` bytes of data after it.
struct AAX_SPlugInChunkHeader
{
  int32_t fSize;        // bytes of fData
  int32_t fVersion;
  AAX_CTypeID fManID;
  AAX_CTypeID fProdID;
  AAX_CTypeID fPlugID;
  AAX_CTypeID fChunkID;
  unsigned char fName[32];
};

struct AAX_SPlugInChunk : AAX_SPlugInChunkHeader
{
  char fData[1];        // the host allocates fSize bytes here
};

static_assert(sizeof(AAX_SPlugInChunkHeader) == 56, "chunk data begins at byte 56");

// A MIDI packet exchanged with a MIDI node.
struct AAX_CMidiPacket
{
  uint32_t mTimestamp = 0;      // sample offset in the block
  uint32_t mLength = 0;         // data bytes used
  unsigned char mData[4] = {0, 0, 0, 0};
  AAX_CBoolean mIsImmediate = 0;
};

struct AAX_CMidiStream
{
  uint32_t mBufferSize = 0;     // packets in mBuffer
  AAX_CMidiPacket* mBuffer = nullptr;
};

// The four procedure kinds a description hands to the host.
class IACFUnknown;
using AAX_CCreateObjectProc = IACFUnknown* (*)();
using AAX_CProcessProc = void (*)(void* const inInstancesBegin[], const void* inInstancesEnd);
using AAX_CInstanceInitProc = int32_t (*)(const void* inInstanceContext, int32_t inAction);
using AAX_CBackgroundProc = int32_t (*)();

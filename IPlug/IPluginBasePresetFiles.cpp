// Preset files of the plug-in base: the program (fxp) and bank (fxb) formats, and the preset
// source dumps. File readers work on the whole file in memory and check every length against
// the bytes actually read.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Base64.h"
#include "IPlugConstants.h"
#include "IPluginBase.h"

namespace iplug {

namespace {

// ---- Source dumps -------------------------------------------------------------------------------

std::string FormatPresetValue(const IParam& p)
{
  char text[64];
  const double v = p.Value();
  switch (p.Type())
  {
    case IParam::kTypeBool:
      return v >= 0.5 ? "true" : "false";
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      std::snprintf(text, sizeof(text), "%d", static_cast<int>(v));
      return text;
    default:
    {
      // Source text reads back the same wherever it is compiled: the C locale's point, never
      // the host's decimal comma.
      const auto end = std::to_chars(text, text + sizeof(text), v, std::chars_format::fixed, 6);
      return end.ec == std::errc() ? std::string(text, end.ptr) : std::string("0.000000");
    }
  }
}

// ---- Big-endian files ---------------------------------------------------------------------------

constexpr int kChunkMagic = FourCC("CcnK");
constexpr int kProgramParamsMagic = FourCC("FxCk");
constexpr int kProgramChunkMagic = FourCC("FPCh");
constexpr int kBankParamsMagic = FourCC("FxBk");
constexpr int kBankChunkMagic = FourCC("FBCh");
constexpr int kProgramNameLength = 28;
constexpr int kBankReservedBytes = 128;

class BigEndianWriter
{
public:
  void Int(int32_t v)
  {
    const uint32_t u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {static_cast<uint8_t>(u >> 24), static_cast<uint8_t>(u >> 16),
                          static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u)};
    bytes.insert(bytes.end(), b, b + 4);
  }
  void Float(float f)
  {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Int(static_cast<int32_t>(u));
  }
  void Bytes(const void* p, size_t n)
  {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  }
  void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
  void Name(const char* name)
  {
    // The field holds 27 characters and a terminator; longer names are cut.
    char field[kProgramNameLength] = {};
    const char* src = name ? name : "";
    std::memcpy(field, src, strnlen(src, kProgramNameLength - 1));
    Bytes(field, kProgramNameLength);
  }
  // Fills in the byte size field at `at` with the count of bytes after it.
  void PatchSize(size_t at)
  {
    const uint32_t size = static_cast<uint32_t>(bytes.size() - at - 4);
    bytes[at] = static_cast<uint8_t>(size >> 24);
    bytes[at + 1] = static_cast<uint8_t>(size >> 16);
    bytes[at + 2] = static_cast<uint8_t>(size >> 8);
    bytes[at + 3] = static_cast<uint8_t>(size);
  }

  std::vector<uint8_t> bytes;
};

class BigEndianReader
{
public:
  BigEndianReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

  bool Int(int32_t& v)
  {
    if (mSize - mPos < 4)
      return false;
    const uint8_t* b = mData + mPos;
    v = static_cast<int32_t>((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3]);
    mPos += 4;
    return true;
  }
  bool Float(float& f)
  {
    int32_t v;
    if (!Int(v))
      return false;
    std::memcpy(&f, &v, 4);
    return true;
  }
  bool Skip(size_t n)
  {
    if (mSize - mPos < n)
      return false;
    mPos += n;
    return true;
  }
  bool Name(std::string& name)
  {
    if (mSize - mPos < kProgramNameLength)
      return false;
    name.assign(reinterpret_cast<const char*>(mData + mPos), strnlen(reinterpret_cast<const char*>(mData + mPos), kProgramNameLength));
    mPos += kProgramNameLength;
    return true;
  }
  // A view of the next n bytes; false when fewer remain.
  bool Bytes(size_t n, const uint8_t*& p)
  {
    if (n > mSize - mPos)
      return false;
    p = mData + mPos;
    mPos += n;
    return true;
  }

private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// The normalised values of one program of parameter values, all of them or none.
bool ReadProgramValues(BigEndianReader& r, int32_t count, std::vector<float>& values)
{
  values.clear();
  for (int32_t i = 0; i < count; ++i)
  {
    float v;
    if (!r.Float(v))
      return false;
    values.push_back(v);
  }
  return true;
}

// A value that is not a number restores the parameter's default, as the state reader does.
void ApplyProgramValues(IPluginBase& plug, const std::vector<float>& values)
{
  for (size_t i = 0; i < values.size(); ++i)
  {
    if (IParam* p = plug.GetParam(static_cast<int>(i)))
    {
      if (std::isfinite(values[i]))
        p->SetNormalizedValue(values[i]);
      else
        p->SetValue(p->Default());
    }
  }
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes)
{
  if (!path)
    return false;
  std::FILE* f = std::fopen(path, "wb");
  if (!f)
    return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return (std::fclose(f) == 0) && ok;
}

bool ReadFile(const char* path, std::vector<uint8_t>& bytes)
{
  if (!path)
    return false;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

} // namespace

bool IPluginBase::WritePresetSource(const char* path) const
{
  std::FILE* f = path ? std::fopen(path, "a") : nullptr;
  if (!f)
    return false;
  std::fprintf(f, "MakePreset(\"%s\"", GetPresetName(mCurrentPresetIdx));
  for (int i = 0; i < NParams(); ++i)
    std::fprintf(f, ", %s", FormatPresetValue(*GetParam(i)).c_str());
  std::fprintf(f, ");\n");
  std::fclose(f);
  return true;
}

bool IPluginBase::WriteNamedPresetSource(const char* path, const std::vector<std::string>& paramIds) const
{
  std::FILE* f = path ? std::fopen(path, "a") : nullptr;
  if (!f)
    return false;
  std::fprintf(f, "  MakePresetFromNamedParams(\"%s\", %d", GetPresetName(mCurrentPresetIdx), NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    // A list shorter than the parameters names the rest by index.
    const std::string id = i < static_cast<int>(paramIds.size()) ? paramIds[static_cast<size_t>(i)] : std::to_string(i);
    std::fprintf(f, ",\n    %s, %s", id.c_str(), FormatPresetValue(*GetParam(i)).c_str());
  }
  std::fprintf(f, ");\n");
  std::fclose(f);
  return true;
}

bool IPluginBase::WritePresetBlobSource(const char* path) const
{
  std::FILE* f = path ? std::fopen(path, "a") : nullptr;
  if (!f)
    return false;
  const PresetSlot* slot = GetPreset(mCurrentPresetIdx);
  const int size = slot ? slot->state.Size() : 0;
  const std::string text = slot ? Base64Encode(slot->state.GetData(), size) : std::string();
  std::fprintf(f, "MakePresetFromBlob(\"%s\", \"", GetPresetName(mCurrentPresetIdx));
  std::fprintf(f, "%s\", %i);\n", text.c_str(), size);
  std::fclose(f);
  return true;
}

bool IPluginBase::SaveProgramAsFXP(const char* path) const
{
  BigEndianWriter w;
  w.Int(kChunkMagic);
  w.Int(0);  // byte size, patched below
  w.Int(mStateChunks ? kProgramChunkMagic : kProgramParamsMagic);
  w.Int(1);
  w.Int(mUniqueID);
  w.Int(mVersion);
  w.Int(NParams());
  w.Name(GetPresetName(mCurrentPresetIdx));
  if (mStateChunks)
  {
    ByteChunk state;
    WriteState(state);
    w.Int(state.Size());
    w.Bytes(state.GetData(), static_cast<size_t>(state.Size()));
  }
  else
  {
    for (int i = 0; i < NParams(); ++i)
      w.Float(static_cast<float>(GetParam(i)->NormalizedValue()));
  }
  w.PatchSize(4);
  return WriteFile(path, w.bytes);
}

bool IPluginBase::SaveBankAsFXB(const char* path)
{
  BigEndianWriter w;
  w.Int(kChunkMagic);
  w.Int(0);
  w.Int(mStateChunks ? kBankChunkMagic : kBankParamsMagic);
  w.Int(2);
  w.Int(mUniqueID);
  w.Int(mVersion);
  w.Int(NPresets());
  w.Int(mCurrentPresetIdx);
  w.Zeros(kBankReservedBytes - 4);

  if (mStateChunks)
  {
    ByteChunk bank;
    SerializePresets(bank);
    w.Int(bank.Size());
    w.Bytes(bank.GetData(), static_cast<size_t>(bank.Size()));
  }
  else
  {
    // Each program's values come from restoring its slot; the plug-in's own state is put back
    // afterwards.
    ByteChunk current;
    WriteState(current);
    for (const PresetSlot& slot : mPresets)
    {
      if (slot.initialized)
        ReadState(slot.state, 0);
      else
        ReadState(current, 0);
      const size_t start = w.bytes.size();
      w.Int(kChunkMagic);
      w.Int(0);
      w.Int(kProgramParamsMagic);
      w.Int(1);
      w.Int(mUniqueID);
      w.Int(mVersion);
      w.Int(NParams());
      w.Name(slot.name);
      for (int i = 0; i < NParams(); ++i)
        w.Float(static_cast<float>(GetParam(i)->NormalizedValue()));
      w.PatchSize(start + 4);
    }
    ReadState(current, 0);
  }
  w.PatchSize(4);
  return WriteFile(path, w.bytes);
}

bool IPluginBase::LoadProgramFromFXP(const char* path)
{
  std::vector<uint8_t> file;
  if (!ReadFile(path, file))
    return false;

  BigEndianReader r(file.data(), file.size());
  int32_t magic, byteSize, fxMagic, version, fxID, fxVersion, numParams;
  std::string name;
  if (!r.Int(magic) || magic != kChunkMagic || !r.Int(byteSize) || !r.Int(fxMagic) || !r.Int(version) ||
      !r.Int(fxID) || fxID != mUniqueID || !r.Int(fxVersion) || !r.Int(numParams) || !r.Name(name))
    return false;

  if (fxMagic == kProgramChunkMagic)
  {
    int32_t size;
    const uint8_t* data;
    if (!r.Int(size) || size < 0 || !r.Bytes(static_cast<size_t>(size), data))
      return false;
    ByteChunk state;
    state.PutBytes(data, size);
    if (ReadState(state, 0) < 0)
      return false;
  }
  else if (fxMagic == kProgramParamsMagic)
  {
    // Every value is read before the first one is applied: a damaged file changes nothing.
    std::vector<float> values;
    if (numParams < 0 || !ReadProgramValues(r, numParams, values))
      return false;
    ApplyProgramValues(*this, values);
    OnAllParamsReset(kPresetRecall);
  }
  else
  {
    return false;
  }

  ModifyCurrentPreset(name.c_str());
  OnRestoreState();
  OnStateRestored();
  return true;
}

bool IPluginBase::LoadBankFromFXB(const char* path)
{
  std::vector<uint8_t> file;
  if (!ReadFile(path, file))
    return false;

  BigEndianReader r(file.data(), file.size());
  int32_t magic, byteSize, fxMagic, version, fxID, fxVersion, numPrograms, currentProgram = 0;
  if (!r.Int(magic) || magic != kChunkMagic || !r.Int(byteSize) || !r.Int(fxMagic) || !r.Int(version) ||
      !r.Int(fxID) || fxID != mUniqueID || !r.Int(fxVersion) || !r.Int(numPrograms) || !r.Int(currentProgram) ||
      !r.Skip(kBankReservedBytes - 4))
    return false;
  if (version < 2)
    currentProgram = 0;

  if (fxMagic == kBankChunkMagic)
  {
    int32_t size;
    const uint8_t* data;
    if (!r.Int(size) || size < 0 || !r.Bytes(static_cast<size_t>(size), data))
      return false;
    ByteChunk bank;
    bank.PutBytes(data, size);
    if (currentProgram >= 0 && currentProgram < NPresets())
      mCurrentPresetIdx = currentProgram;
    return UnserializePresets(bank, 0) >= 0;
  }
  if (fxMagic != kBankParamsMagic || numPrograms < 0)
    return false;

  // The whole bank is read before any program reaches a slot: a damaged file changes nothing.
  struct Program
  {
    std::string name;
    std::vector<float> values;
  };
  std::vector<Program> programs;
  for (int p = 0; p < numPrograms; ++p)
  {
    int32_t pMagic, pSize, pFxMagic, pVersion, pID, pFxVersion, pNumParams;
    Program program;
    if (!r.Int(pMagic) || pMagic != kChunkMagic || !r.Int(pSize) || !r.Int(pFxMagic) ||
        pFxMagic != kProgramParamsMagic || !r.Int(pVersion) || !r.Int(pID) || pID != mUniqueID ||
        !r.Int(pFxVersion) || !r.Int(pNumParams) || pNumParams < 0 || !r.Name(program.name) ||
        !ReadProgramValues(r, pNumParams, program.values))
      return false;
    // Programs past the slots are checked, not kept.
    if (p < NPresets())
      programs.push_back(std::move(program));
  }

  for (size_t p = 0; p < programs.size(); ++p)
  {
    ApplyProgramValues(*this, programs[p].values);
    PresetSlot& slot = mPresets[p];
    slot.initialized = true;
    slot.SetName(programs[p].name.c_str());
    slot.state.Clear();
    WriteState(slot.state);
  }
  if (currentProgram >= 0 && currentProgram < NPresets())
    mCurrentPresetIdx = currentProgram;
  return LoadPreset(mCurrentPresetIdx);
}

} // namespace iplug

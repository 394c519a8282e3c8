#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Base64.h"
#include "ByteChunk.h"
#include "IPlugAPIBase.h"
#include "support/ScopedLocale.h"

using namespace iplug;

namespace {

// A small plug-in with three parameters (double, int, bool) and four preset slots.
class PresetPlugin : public IPlugAPIBase
{
public:
  explicit PresetPlugin(bool chunks = true, int uniqueID = FourCC("TSTP"))
    : IPlugAPIBase(MakeConfig(chunks, uniqueID), kAPIAAX)
  {
    GetParam(0)->DefineDouble("Level", 0., -10., 10., 0.1, "dB");
    GetParam(1)->DefineInt("Mode", 1, 0, 3);
    GetParam(2)->DefineBool("Active", false);
  }

  void OnStateRestored() override { ++stateRestored; }

  int stateRestored = 0;

private:
  static ConfigRecord MakeConfig(bool chunks, int uniqueID)
  {
    ConfigRecord c;
    c.nParams = 3;
    c.nPresets = 4;
    c.channelIOStr = "2-2";
    c.vendorVersion = 0x10203;
    c.uniqueID = uniqueID;
    c.mfrID = FourCC("Test");
    c.plugDoesChunks = chunks;
    return c;
  }
};

void SetValues(IPluginBase& plug, double a, double b, double c)
{
  plug.GetParam(0)->SetValue(a);
  plug.GetParam(1)->SetValue(b);
  plug.GetParam(2)->SetValue(c);
}

std::vector<double> Values(const IPluginBase& plug)
{
  return {plug.GetParam(0)->Value(), plug.GetParam(1)->Value(), plug.GetParam(2)->Value()};
}

struct TempFile
{
  std::string path;
  explicit TempFile(const char* name)
    : path((std::filesystem::temp_directory_path() / ("corvane-" + std::to_string(std::random_device{}()) + name)).string())
  {
    std::filesystem::remove(path);
  }
  ~TempFile() { std::filesystem::remove(path); }

  std::string Read() const
  {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // As a text file of the system reads: source dumps are text, with the system's line ends.
  std::string ReadText() const
  {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Write(const std::string& bytes) const
  {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
};

} // namespace

TEST(Presets, SlotsStartEmpty)
{
  PresetPlugin plug;
  ASSERT_EQ(plug.NPresets(), 4);
  for (int i = 0; i < 4; ++i)
  {
    EXPECT_STREQ(plug.GetPresetName(i), "empty");
    EXPECT_FALSE(plug.GetPreset(i)->initialized);
  }
  EXPECT_EQ(plug.GetPreset(4), nullptr);
}

TEST(Presets, LoadingAnEmptySlotStoresTheCurrentStateAsAUserPreset)
{
  PresetPlugin plug;
  SetValues(plug, 3.0, 2, 1);
  EXPECT_TRUE(plug.LoadPreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_TRUE(plug.LoadPreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 2");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(plug.stateRestored, 2);

  SetValues(plug, -5.0, 0, 0);
  EXPECT_TRUE(plug.LoadPreset(0));
  EXPECT_EQ(Values(plug), (std::vector<double>{3.0, 2, 1}));

  EXPECT_FALSE(plug.LoadPreset(-1));
  EXPECT_FALSE(plug.LoadPreset(4));
  EXPECT_TRUE(plug.LoadPresetByName("user preset 2"));
  EXPECT_FALSE(plug.LoadPresetByName("nope"));
  EXPECT_FALSE(plug.LoadPresetByName(""));
}

TEST(Presets, MakePresetVariants)
{
  PresetPlugin plug;
  SetValues(plug, 1.0, 3, 1);
  plug.MakePreset("explicit", {-2.5, 2.7, 0.0});
  plug.MakePresetFromNamedParams("named", {{0, 4.0}});
  plug.FillEmptyPresets(nullptr, 5);

  EXPECT_STREQ(plug.GetPresetName(0), "explicit");
  EXPECT_STREQ(plug.GetPresetName(1), "named");
  EXPECT_STREQ(plug.GetPresetName(2), "Empty");
  EXPECT_STREQ(plug.GetPresetName(3), "Empty");

  EXPECT_TRUE(plug.LoadPreset(0));
  EXPECT_EQ(Values(plug), (std::vector<double>{-2.5, 2, 0}));  // the int value is read as an integer
  SetValues(plug, 1.0, 3, 1);
  EXPECT_TRUE(plug.LoadPreset(1));
  EXPECT_EQ(Values(plug), (std::vector<double>{4.0, 3, 1}));
}

TEST(Presets, BankRoundTrip)
{
  PresetPlugin source;
  source.MakePreset("first", {1.5, 1, 1});
  source.MakePreset("second", {-7.0, 3, 0});
  ByteChunk bank;
  EXPECT_TRUE(source.SerializePresets(bank));

  PresetPlugin target;
  EXPECT_GT(target.UnserializePresets(bank, 0), 0);
  EXPECT_STREQ(target.GetPresetName(0), "first");
  EXPECT_STREQ(target.GetPresetName(1), "second");
  EXPECT_FALSE(target.GetPreset(2)->initialized);
  EXPECT_TRUE(target.LoadPreset(1));
  EXPECT_EQ(Values(target), (std::vector<double>{-7.0, 3, 0}));
}

TEST(Presets, BlobRoundTripAgainstAKnownText)
{
  // Three doubles 1.5, 2.0, 1.0 as little-endian bytes.
  const char* blob = "AAAAAAAA+D8AAAAAAAAAQAAAAAAAAPA/";
  PresetPlugin plug;
  plug.MakePresetFromBlob("blob", blob, 24);
  EXPECT_TRUE(plug.LoadPreset(0));
  EXPECT_EQ(Values(plug), (std::vector<double>{1.5, 2, 1}));

  const PresetSlot* slot = plug.GetPreset(0);
  EXPECT_EQ(Base64Encode(slot->state.GetData(), slot->state.Size()), blob);
}

TEST(Presets, Base64)
{
  const struct { const char* text; const char* encoded; } cases[] = {
    {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
  for (auto c : cases)
  {
    const int n = static_cast<int>(std::strlen(c.text));
    EXPECT_EQ(Base64Encode(reinterpret_cast<const uint8_t*>(c.text), n), c.encoded);
    uint8_t out[16] = {};
    EXPECT_EQ(Base64Decode(c.encoded, out, 16), n);
    EXPECT_EQ(std::memcmp(out, c.text, static_cast<size_t>(n)), 0);
  }
  // Decoding stops at the text's end, at a foreign character and at the caller's limit.
  uint8_t out[8] = {};
  EXPECT_EQ(Base64Decode("Zm9v", out, 2), 2);
  EXPECT_EQ(Base64Decode("Zm9v!Zm9v", out, 8), 3);
  EXPECT_EQ(Base64Decode("Z", out, 8), 0);
  EXPECT_EQ(Base64Decode(nullptr, out, 8), 0);
}

TEST(Presets, MalformedBanksNeverReadOutsideTheirBytes)
{
  PresetPlugin source;
  source.MakePreset("first", {1.5, 1, 1});
  ByteChunk bank;
  source.SerializePresets(bank);

  for (int cut = 0; cut < bank.Size(); ++cut)
  {
    ByteChunk shortBank;
    shortBank.PutBytes(bank.GetData(), cut);
    PresetPlugin target;
    target.UnserializePresets(shortBank, 0);  // must not read past `cut` bytes (sanitizer build)
  }

  // A name length far beyond the data.
  ByteChunk lying;
  const int hugeLength = 1 << 30;
  lying.Put(&hugeLength);
  PresetPlugin target;
  EXPECT_EQ(target.UnserializePresets(lying, 0), -1);

  // A name over 255 characters is cut to the slot.
  ByteChunk longName;
  const uint8_t empty = 0;
  longName.PutStr("first");
  longName.Put(&empty);
  longName.PutStr(std::string(400, 'x').c_str());
  longName.Put(&empty);
  PresetPlugin named;
  named.UnserializePresets(longName, 0);
  EXPECT_EQ(std::strlen(named.GetPresetName(1)), 255u);
}

TEST(PresetFiles, ProgramAndBankRoundTrip)
{
  for (bool chunks : {true, false})
  {
    SCOPED_TRACE(chunks ? "opaque state" : "parameter values");
    TempFile fxp("-program.fxp");
    TempFile fxb("-bank.fxb");

    PresetPlugin source(chunks);
    source.MakePreset("alpha", {2.5, 3, 1});
    source.MakePreset("beta", {-4.0, 0, 0});
    EXPECT_TRUE(source.LoadPreset(1));
    EXPECT_TRUE(source.SaveProgramAsFXP(fxp.path.c_str()));
    EXPECT_TRUE(source.SaveBankAsFXB(fxb.path.c_str()));
    EXPECT_EQ(Values(source), (std::vector<double>{-4.0, 0, 0}));  // saving leaves the plug-in as it was

    const std::string program = fxp.Read();
    ASSERT_GE(program.size(), 56u);
    EXPECT_EQ(program.substr(0, 4), "CcnK");
    EXPECT_EQ(program.substr(8, 4), chunks ? "FPCh" : "FxCk");
    EXPECT_EQ(program.substr(16, 4), "TSTP");
    EXPECT_EQ(fxb.Read().substr(8, 4), chunks ? "FBCh" : "FxBk");

    PresetPlugin programTarget(chunks);
    EXPECT_TRUE(programTarget.LoadProgramFromFXP(fxp.path.c_str()));
    // Program files without opaque state carry 32-bit normalised values.
    EXPECT_NEAR(programTarget.GetParam(0)->Value(), -4.0, 1e-5);
    EXPECT_EQ(programTarget.GetParam(1)->Value(), 0);
    EXPECT_STREQ(programTarget.GetPresetName(0), "beta");

    PresetPlugin bankTarget(chunks);
    EXPECT_TRUE(bankTarget.LoadBankFromFXB(fxb.path.c_str()));
    EXPECT_STREQ(bankTarget.GetPresetName(0), "alpha");
    EXPECT_STREQ(bankTarget.GetPresetName(1), "beta");
    EXPECT_EQ(bankTarget.GetCurrentPresetIdx(), 1);
    EXPECT_TRUE(bankTarget.LoadPreset(0));
    EXPECT_NEAR(bankTarget.GetParam(0)->Value(), 2.5, 1e-6);
    EXPECT_EQ(bankTarget.GetParam(1)->Value(), 3);
  }
}

TEST(PresetFiles, ForeignAndMalformedFilesAreRefused)
{
  TempFile fxp("-foreign.fxp");
  PresetPlugin foreign(true, FourCC("OTHR"));
  foreign.GetParam(0)->SetValue(9.0);
  ASSERT_TRUE(foreign.SaveProgramAsFXP(fxp.path.c_str()));
  const std::string good = fxp.Read();

  PresetPlugin plug;
  EXPECT_FALSE(plug.LoadProgramFromFXP(fxp.path.c_str()));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);

  // Every truncation of a valid file, a lying chunk size and a wrong magic: refused, no overrun.
  PresetPlugin own;
  TempFile valid("-valid.fxp");
  ASSERT_TRUE(own.SaveProgramAsFXP(valid.path.c_str()));
  const std::string bytes = valid.Read();
  for (size_t cut = 0; cut < bytes.size(); ++cut)
  {
    TempFile broken("-broken.fxp");
    broken.Write(bytes.substr(0, cut));
    PresetPlugin target;
    EXPECT_FALSE(target.LoadProgramFromFXP(broken.path.c_str())) << cut;
  }
  std::string lying = bytes;
  lying[56] = '\x7f';  // chunk size high byte
  TempFile lie("-lying.fxp");
  lie.Write(lying);
  EXPECT_FALSE(plug.LoadProgramFromFXP(lie.path.c_str()));
  std::string wrongMagic = bytes;
  wrongMagic[0] = 'X';
  lie.Write(wrongMagic);
  EXPECT_FALSE(plug.LoadProgramFromFXP(lie.path.c_str()));
  EXPECT_FALSE(plug.LoadBankFromFXB(lie.path.c_str()));
  EXPECT_FALSE(plug.LoadProgramFromFXP("/nonexistent/dir/file.fxp"));
}

// Files of parameter values are read whole before anything is applied: a damaged one changes
// nothing, and a value that is not a number gives that parameter its default.
TEST(PresetFiles, ParameterValueFilesApplyAllOrNothing)
{
  PresetPlugin source(false);
  source.MakePreset("alpha", {2.5, 3, 1});
  source.MakePreset("beta", {-4.0, 0, 1});
  ASSERT_TRUE(source.LoadPreset(1));
  TempFile fxp("-values.fxp");
  TempFile fxb("-values.fxb");
  ASSERT_TRUE(source.SaveProgramAsFXP(fxp.path.c_str()));
  ASSERT_TRUE(source.SaveBankAsFXB(fxb.path.c_str()));
  const std::string program = fxp.Read();
  const std::string bank = fxb.Read();
  constexpr size_t kProgramValues = 56;  // after magic, size, kind, version, id, version, count, name
  constexpr size_t kBankPrograms = 156;  // after the bank header and its reserved bytes

  struct Format
  {
    const char* name;
    const std::string& bytes;
    bool (IPluginBase::*load)(const char*);
  };
  for (const Format& f : {Format{"program", program, &IPluginBase::LoadProgramFromFXP},
                          Format{"bank", bank, &IPluginBase::LoadBankFromFXB}})
  {
    SCOPED_TRACE(f.name);
    for (size_t cut = kProgramValues; cut < f.bytes.size(); ++cut)
    {
      TempFile broken("-cut.fx");
      broken.Write(f.bytes.substr(0, cut));
      PresetPlugin target(false);
      SetValues(target, 7.0, 2, 0);
      ASSERT_FALSE((target.*f.load)(broken.path.c_str())) << cut;
      ASSERT_EQ(Values(target), (std::vector<double>{7.0, 2, 0})) << cut << ": no value changed";
      ASSERT_STREQ(target.GetPresetName(0), "empty") << cut << ": no slot filled";
      ASSERT_EQ(target.stateRestored, 0) << cut;
    }
  }

  // A NaN for the first value: the default (0) instead, the other values as stored.
  const char nan[4] = {'\x7f', '\xc0', '\0', '\0'};
  std::string nanProgram = program;
  nanProgram.replace(kProgramValues, 4, nan, 4);
  fxp.Write(nanProgram);
  PresetPlugin programTarget(false);
  SetValues(programTarget, 7.0, 2, 0);
  ASSERT_TRUE(programTarget.LoadProgramFromFXP(fxp.path.c_str()));
  EXPECT_EQ(programTarget.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(programTarget.GetParam(1)->Value(), 0);
  EXPECT_EQ(programTarget.GetParam(2)->Value(), 1);

  std::string nanBank = bank;
  nanBank.replace(kBankPrograms + kProgramValues, 4, nan, 4);
  fxb.Write(nanBank);
  PresetPlugin bankTarget(false);
  SetValues(bankTarget, 7.0, 2, 0);
  ASSERT_TRUE(bankTarget.LoadBankFromFXB(fxb.path.c_str()));
  ASSERT_TRUE(bankTarget.LoadPreset(0));
  EXPECT_EQ(bankTarget.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(bankTarget.GetParam(1)->Value(), 3);
}

TEST(PresetFiles, SourceDumps)
{
  // Source text, whatever locale the host runs in: a German one writes "1,25" with printf.
  for (const char* locale : {"C", "de_DE.UTF-8"})
  {
    test::ScopedLocale scoped(locale);
    if (!scoped.Valid())
    {
      ADD_FAILURE() << "locale " << locale << " is not installed (scripts/setup generates it)";
      continue;
    }
    TempFile out("-dump.txt");
    PresetPlugin plug;
    plug.MakePreset("warm", {1.25, 2, 1});
    plug.LoadPreset(0);
    EXPECT_TRUE(plug.WritePresetSource(out.path.c_str()));
    EXPECT_TRUE(plug.WriteNamedPresetSource(out.path.c_str(), {"kLevel", "kMode", "kActive"}));
    EXPECT_TRUE(plug.WritePresetBlobSource(out.path.c_str()));
    const std::string blob = Base64Encode(plug.GetPreset(0)->state.GetData(), plug.GetPreset(0)->state.Size());
    EXPECT_EQ(out.ReadText(), "MakePreset(\"warm\", 1.250000, 2, true);\n"
                          "  MakePresetFromNamedParams(\"warm\", 3,\n    kLevel, 1.250000,\n    kMode, 2,\n"
                          "    kActive, true);\n"
                          "MakePresetFromBlob(\"warm\", \"" + blob + "\", 24);\n") << locale;
    EXPECT_FALSE(plug.WritePresetSource("/nonexistent/dir/dump.txt"));
  }
}

TEST(VersionTexts, VersionApiAndBuildInfo)
{
  EXPECT_EQ(IPluginBase::VersionText(0x30000), "v3.0.0");
  EXPECT_EQ(IPluginBase::VersionText(0x10203), "v1.2.3");
  EXPECT_EQ(IPluginBase::VersionNumber(0x30000, true), 30000);
  EXPECT_EQ(IPluginBase::VersionNumber(0x30000, false), 0x30000);
  EXPECT_STREQ(IPluginBase::ApiName(4), "AAX");
  EXPECT_STREQ(IPluginBase::ApiName(8), "");
  PresetPlugin plug;
  std::string info;
  plug.BuildInfoText(info, "Dec 10 2026", "01:23:45");
  EXPECT_EQ(info, "v1.2.3 AAX (x86-64), built on Dec 10 2026 at 01:23 ");
}

TEST(ParamGroups, RangesGroupsAndCopies)
{
  PresetPlugin plug;
  SetValues(plug, 5.0, 3, 1);
  plug.ResetParamsToDefault(0, 1);
  EXPECT_EQ(Values(plug), (std::vector<double>{0.0, 1, 1}));
  plug.CopyParamValues(2, 0, 1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  // Randomised normalised values cover 0 up to just below 1, and only the parameters named move.
  double lowest = 1.0, highest = 0.0;
  for (int round = 0; round < 300; ++round)
  {
    plug.RandomizeParams();
    for (int i = 0; i < plug.NParams(); ++i)
    {
      const double n = plug.GetParam(i)->NormalizedValue();
      ASSERT_GE(n, 0.0);
      ASSERT_LT(plug.GetParam(0)->NormalizedValue(), 1.0) << "a double parameter never reaches the top";
      lowest = std::min(lowest, n);
      highest = std::max(highest, n);
    }
  }
  EXPECT_LT(lowest, 0.05);
  EXPECT_GT(highest, 0.95);
  SetValues(plug, 5.0, 3, 1);
  for (int round = 0; round < 20; ++round)
    plug.RandomizeParams(1, 1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 1);
  plug.DefineParamRange(0, 1, 7, "Band %d", 0., 0., 1., 0.01);
  EXPECT_STREQ(plug.GetParam(0)->Name(), "Band 7");
  EXPECT_STREQ(plug.GetParam(1)->Name(), "Band 8");
}

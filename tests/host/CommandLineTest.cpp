// aaxhost as a command-line tool: its conventions (exit status, messages, --version, a mistyped
// command), the parameters a user can list, state files carried between commands, batches of
// files, and the validator's verdict on skipped cases. Every case runs the real program.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CommandRunner.h"

namespace {

using json = nlohmann::json;

Audio Tone(size_t frames, int channels = 2, double amplitude = 0.25)
{
  Audio audio;
  audio.sampleRate = 48000;
  audio.channels.assign(static_cast<size_t>(channels), std::vector<float>(frames));
  for (size_t i = 0; i < frames; ++i)
    for (auto& channel : audio.channels)
      channel[i] = static_cast<float>(amplitude * std::sin(0.05 * static_cast<double>(i)));
  return audio;
}

std::string Bytes(const std::filesystem::path& path)
{
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Contains(const std::string& text, const std::string& part)
{
  return text.find(part) != std::string::npos;
}

class CommandLine : public testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(WriteWav(scratch / "in.wav", Tone(2000))); }

  std::string At(const std::string& name) const { return (scratch / name).string(); }
  CommandResult Run(const std::vector<std::string>& args) const { return RunAaxhost(args, scratch.Path()); }

  // A parameter's stored text in a state file, as `state FILE --json` shows it.
  std::string StoredText(const std::string& stateFile, const std::string& name) const
  {
    const CommandResult shown = Run({"state", stateFile, "--json"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    const json state = json::parse(shown.out, nullptr, false);
    for (const auto& parameter : state["parameters"])
      if (parameter["name"] == name)
        return parameter["text"];
    return "";
  }

  ScratchFolder scratch{"command-line"};
};

// ---- Conventions --------------------------------------------------------------------------------

// Usage errors (what the command line does not take) exit with 2, failed runs with 1; either way
// one line on standard error that begins with the program's name, and nothing on standard output.
TEST_F(CommandLine, ExitStatusAndMessagesFollowOneConvention)
{
  struct Case
  {
    std::vector<std::string> args;
    int status;
    std::string message; // part of the line on standard error
  };
  const std::string in = At("in.wav"), out = At("out.wav"), missingFolder = At("no/such");
  const std::vector<Case> cases = {
    {{"procss", in, out}, 2, "'procss' is not a command; did you mean 'process'?"},
    {{"validte"}, 2, "did you mean 'validate'?"},
    {{"frobnicate"}, 2, "'frobnicate' is not a command (the commands: "},
    {std::vector<std::string>{}, 2, "A subcommand is required"},
    {{"process"}, 2, "FILES is required"},
    {{"process", in, out, "--block", "many"}, 2, "--block"},
    {{"process", in, out, "--no-such-option"}, 2, "--no-such-option"},
    {{"process", in}, 2, "process takes IN and OUT, or several inputs with --out-dir DIR (1 file(s) given)"},
    {{"process", in, out, "-j", "2"}, 2, "-j renders several files at once and goes with --out-dir"},
    {{"process", in, "--out-dir", At("rendered"), "-j", "0"}, 2, "-j"},
    {{"process", in, out, "--save-state", "-"}, 2, "--save-state names a file"},
    {{"state", At("a.state"), "--param", "Gain=6"}, 2, "--param needs --write OUT"},
    {{"state"}, 2, "state takes a FILE to print"},
    {{"validate", "--strictness", "11"}, 2, "--strictness"},
    {{"validate", "--include", "("}, 2, "a malformed --include or --exclude pattern"},
    {{"process", At("missing.wav"), out}, 1, "cannot read input '"},
    {{"process", in, missingFolder + "/out.wav"}, 1, "cannot write output '" + missingFolder + "/out.wav': "},
    {{"process", in, out, "--save-state", missingFolder + "/s.state"},
     1,
     "cannot write state file '" + missingFolder + "/s.state': "},
    {{"state", "--write", missingFolder + "/s.state"}, 1, "cannot write state file '" + missingFolder + "/s.state': "},
    {{"validate", "--include", "^no-such-case$"}, 1, "no case matches the --include and --exclude patterns"},
    // A report that cannot be written is refused before the cases run.
    {{"validate", "--include", "^param-defaults$", "--junit", missingFolder + "/report.xml"},
     1,
     "cannot write JUnit report '" + missingFolder + "/report.xml': "},
  };
  for (const Case& c : cases)
  {
    const CommandResult r = Run(c.args);
    std::string shown;
    for (const auto& arg : c.args)
      shown += arg + " ";
    EXPECT_EQ(r.status, c.status) << shown << ": " << r.err;
    EXPECT_EQ(r.err.rfind("aaxhost: ", 0), 0u) << shown << ": " << r.err;
    EXPECT_TRUE(Contains(r.err, c.message)) << shown << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << ": " << r.err;
    EXPECT_EQ(r.out, "") << shown;
  }
  EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"in.wav"})) << "no failed command leaves a file";
}

TEST_F(CommandLine, VersionAndHelpExitWithZero)
{
  const CommandResult version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(Contains(version.out, "aaxhost 3.0.0")) << version.out;

  const CommandResult help = Run({"process", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Contains(help.out, "--out-dir")) << help.out;
  EXPECT_TRUE(Contains(help.out, "standard error while it is a terminal")) << help.out;
}

// ---- Parameters and settings --------------------------------------------------------------------

TEST_F(CommandLine, ParamsListsWhatASettingTakes)
{
  const CommandResult listed = Run({"params", "--json"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const json parameters = json::parse(listed.out);
  ASSERT_EQ(parameters.size(), 7u) << "the master bypass and the six parameters";
  auto named = [&](const std::string& name) {
    for (const auto& p : parameters)
      if (p["name"] == name)
        return p;
    return json();
  };
  const json gain = named("Gain");
  EXPECT_EQ(gain["id"], "1");
  EXPECT_EQ(gain["kind"], "continuous");
  EXPECT_EQ(gain["min"], -30.0);
  EXPECT_EQ(gain["max"], 30.0);
  EXPECT_EQ(gain["unit"], "dB");
  EXPECT_EQ(gain["default"]["text"], "0.00dB");
  EXPECT_EQ(named("Low Gain")["min"], -10.0);
  EXPECT_EQ(named("Output")["max"], 15.0);
  const json oversampling = named("Oversampling");
  EXPECT_EQ(oversampling["id"], "5");
  EXPECT_EQ(oversampling["kind"], "switch");
  EXPECT_EQ(oversampling["steps"], 2);
  EXPECT_EQ(oversampling["choices"], (json{"Oversampling Off", "Oversampling On"}));
  EXPECT_EQ(named("Master Bypass")["id"], "");

  // The table shows the same, one parameter a line under a header, and a listed value is taken.
  const CommandResult table = Run({"params"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(table.out.rfind("ID", 0), 0u) << table.out;
  for (const char* part : {"UNIT", "CHOICES", "Gain", "-30.00dB to 30.00dB", "Oversampling Off, Oversampling On"})
    EXPECT_TRUE(Contains(table.out, part)) << part << "\n" << table.out;
  EXPECT_EQ(Run({"process", At("in.wav"), At("out.wav"), "--param", "Oversampling=Oversampling On"}).status, 0);
}

// `state FILE --param ... --write OUT` edits a state: what the settings do not name is kept.
TEST_F(CommandLine, StateFilesAreEditedAndCarriedBetweenCommands)
{
  const std::string first = At("first.state"), second = At("second.state");
  ASSERT_EQ(Run({"state", "--write", first, "--param", "Gain=6"}).status, 0);
  const CommandResult edited = Run({"state", first, "--param", "Output=-3", "--write", second});
  ASSERT_EQ(edited.status, 0) << edited.err;
  EXPECT_EQ(StoredText(second, "Gain"), "6.00dB");
  EXPECT_EQ(StoredText(second, "Output"), "-3.00dB");
  EXPECT_EQ(StoredText(first, "Output"), "0.00dB") << "the file read is left as it was";

  // In place, and the edited state renders what it holds.
  ASSERT_EQ(Run({"state", second, "--param", "Oversampling=on", "--write", second}).status, 0);
  const CommandResult rendered = Run({"process", At("in.wav"), At("out.wav"), "--state", second, "--json"});
  ASSERT_EQ(rendered.status, 0) << rendered.err;
  const json summary = json::parse(rendered.out);
  EXPECT_EQ(summary["latency"], 64);
  EXPECT_EQ(summary["parameters"][1]["text"], "6.00dB");
}

// A state file is an output like the audio: a read-only one is kept unless --force, a link is
// written through to its target, and a failed run leaves the earlier file as it was.
TEST_F(CommandLine, StateFilesAreWrittenAsSafelyAsAudio)
{
  struct Writer
  {
    const char* name;
    std::vector<std::string> args; // the state file is appended last
  };
  const std::vector<Writer> writers = {
    {"state --write", {"state", "--param", "Gain=3", "--write"}},
    {"process --save-state", {"process", At("in.wav"), At("out.wav"), "--param", "Gain=3", "--save-state"}},
  };
  for (const Writer& w : writers)
  {
    const std::string kept = At("kept.state");
    {
      std::ofstream(kept) << "keep me";
    }
    chmod(kept.c_str(), 0444);
    std::vector<std::string> args = w.args;
    args.push_back(kept);
    const CommandResult refused = Run(args);
    EXPECT_EQ(refused.status, 1) << w.name;
    EXPECT_TRUE(
      Contains(refused.err, "cannot write state file '" + kept + "': the file is read-only (--force replaces it)"))
      << w.name << ": " << refused.err;
    EXPECT_EQ(Bytes(kept), "keep me") << w.name;
    EXPECT_FALSE(std::filesystem::exists(At("out.wav"))) << w.name << ": refused before rendering";

    args.push_back("--force");
    ASSERT_EQ(Run(args).status, 0) << w.name;
    EXPECT_EQ(StoredText(kept, "Gain"), "3.00dB") << w.name;
    struct stat status
    {};
    ASSERT_EQ(stat(kept.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0444u) << w.name << ": the replacement keeps the file's permissions";

    std::filesystem::create_directories(scratch / "real");
    std::filesystem::create_symlink("real/target.state", scratch / "link.state");
    args = w.args;
    args.push_back(At("link.state"));
    ASSERT_EQ(Run(args).status, 0) << w.name;
    EXPECT_TRUE(std::filesystem::is_symlink(scratch / "link.state")) << w.name;
    EXPECT_EQ(StoredText(At("real/target.state"), "Gain"), "3.00dB") << w.name;

    std::filesystem::remove(kept);
    std::filesystem::remove(scratch / "link.state");
    std::filesystem::remove_all(scratch / "real");
    std::filesystem::remove(At("out.wav"));
    EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"in.wav"})) << w.name << ": nothing left beside";
  }
}

// A setting made in the editor is saved and renders the same in `process`.
TEST_F(CommandLine, EditorSavesTheStateItLeaves)
{
  {
    std::ofstream(scratch / "drag.txt") << "drag 128 96 128 -4 10\n";
  }
  const std::string state = At("editor.state");
  const CommandResult editor = Run(
    {"editor", "--png", At("editor.png"), "--input", At("drag.txt"), "--zoom", "2", "--save-state", state, "--json"});
  ASSERT_EQ(editor.status, 0) << editor.err;
  std::string gainInEditor;
  const json report = json::parse(editor.out);
  for (const auto& p : report["parameters"])
    if (p["id"] == "1")
      gainInEditor = p["text"];
  ASSERT_NE(gainInEditor, "0.00dB") << "the drag turned Gain";
  EXPECT_EQ(StoredText(state, "Gain"), gainInEditor);

  const CommandResult shown = Run({"state", state, "--json"});
  EXPECT_EQ(json::parse(shown.out)["editor"]["scale"], 2.0) << "the editor record is saved too";
  const CommandResult rendered = Run({"process", At("in.wav"), At("out.wav"), "--state", state, "--json"});
  ASSERT_EQ(rendered.status, 0) << rendered.err;
  EXPECT_EQ(json::parse(rendered.out)["parameters"][1]["text"], gainInEditor);
}

// ---- Batches ------------------------------------------------------------------------------------

TEST_F(CommandLine, BatchRendersEachFileAsAloneAndNamesItsFailures)
{
  std::filesystem::create_directories(scratch / "a");
  ASSERT_TRUE(WriteWav(scratch / "a" / "mono.wav", Tone(1500, 1)));
  ASSERT_TRUE(WriteWav(scratch / "a" / "loud.wav", Tone(3000, 2, 0.9)));
  {
    std::ofstream(scratch / "a" / "notes.wav") << "not audio";
  }
  const std::vector<std::string> inputs = {At("a/mono.wav"), At("a/notes.wav"), At("a/loud.wav")};

  std::vector<std::string> args = {"process", "--out-dir", At("rendered"), "-j", "2", "--param", "Gain=12"};
  args.insert(args.end(), inputs.begin(), inputs.end());
  const CommandResult batch = Run(args);
  EXPECT_EQ(batch.status, 1) << "one file failed";
  // One line per file in the order given: the rendered ones on standard output, the failure on
  // standard error with its reason; then the totals.
  const size_t mono = batch.out.find("ok      " + inputs[0] + " -> " + At("rendered/mono.wav"));
  const size_t loud = batch.out.find("ok      " + inputs[2] + " -> " + At("rendered/loud.wav"));
  EXPECT_NE(mono, std::string::npos) << batch.out;
  EXPECT_NE(loud, std::string::npos) << batch.out;
  EXPECT_LT(mono, loud);
  EXPECT_TRUE(Contains(batch.out, "process: 2 of 3 file(s) rendered, 1 failed")) << batch.out;
  EXPECT_TRUE(Contains(batch.err, "failed  " + inputs[1] + ": cannot read input '" + inputs[1] + "'")) << batch.err;
  EXPECT_FALSE(std::filesystem::exists(scratch / "rendered" / "notes.wav"));

  // Each output is what a run on that file alone writes.
  for (const char* name : {"mono.wav", "loud.wav"})
  {
    ASSERT_EQ(Run({"process", At(std::string("a/") + name), At(name), "--param", "Gain=12"}).status, 0);
    EXPECT_EQ(Bytes(scratch / "rendered" / name), Bytes(scratch / name)) << name;
  }

  // --quiet prints nothing when all went well; --json reports each file.
  const CommandResult quiet = Run({"process", "--out-dir", At("quiet"), "--quiet", inputs[0], inputs[2]});
  EXPECT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.out + quiet.err, "");
  const CommandResult reported = Run({"process", "--out-dir", At("json"), "--json", "--type", "flac", inputs[0]});
  ASSERT_EQ(reported.status, 0) << reported.err;
  const json report = json::parse(reported.out);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0]["output"], At("json/mono.flac"));
  EXPECT_EQ(report[0]["summary"]["frames"], 1500);
  EXPECT_EQ(ReadWav(scratch / "json" / "mono.flac").Frames(), 1500u);
}

// Outputs that would land on each other or on an input are refused before anything is rendered.
TEST_F(CommandLine, BatchRefusesOutputsThatCollide)
{
  std::filesystem::create_directories(scratch / "b");
  ASSERT_TRUE(WriteWav(scratch / "b" / "in.wav", Tone(500)));
  const std::string original = Bytes(scratch / "in.wav");
  struct Case
  {
    std::vector<std::string> args;
    const char* message;
  };
  const std::vector<Case> cases = {
    {{"process", "--out-dir", At("out"), At("in.wav"), At("b/in.wav")}, "would both be written there"},
    {{"process", "--out-dir", scratch.Path().string(), At("in.wav")}, "it is the input '"},
    {{"process", "--out-dir", At("in.wav"), At("b/in.wav")}, "cannot write output folder '"},
  };
  for (const Case& c : cases)
  {
    const CommandResult r = Run(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    EXPECT_FALSE(std::filesystem::exists(scratch / "out" / "in.wav")) << c.message;
  }
  EXPECT_EQ(Bytes(scratch / "in.wav"), original);
}

// ---- The validator ------------------------------------------------------------------------------

// A case that cannot run here is skipped and named; only --strict makes that a failure.
TEST_F(CommandLine, SkippedCasesFailOnlyWhenStrict)
{
  std::filesystem::create_directories(scratch / "empty");
  const std::vector<std::string> args = {"validate",  "--include", "^editor-screenshots$", "--references",
                                         At("empty"), "--junit",   At("report.xml")};
  const CommandResult lenient = Run(args);
  EXPECT_EQ(lenient.status, 0) << lenient.out << lenient.err;
  EXPECT_TRUE(Contains(lenient.out, "0 passed, 0 failed, 1 skipped (editor-screenshots)")) << lenient.out;
  EXPECT_TRUE(Contains(Bytes(scratch / "report.xml"), "<skipped message=")) << "the report is written after the run";

  std::vector<std::string> strictArgs = args;
  strictArgs.push_back("--strict");
  const CommandResult strict = Run(strictArgs);
  EXPECT_EQ(strict.status, 1);
  EXPECT_TRUE(Contains(strict.out, "(editor-screenshots; --strict counts them as failures)")) << strict.out;
}

} // namespace

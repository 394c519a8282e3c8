#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PlatformServicesFixture.h"
#include "win32/testing/Win32Display.h"
#include "win32/testing/Win32Script.h"

namespace platformtest {
namespace {

namespace script = win32compat::script;

TEST_F(PlatformServicesTest, RevealPathAsksExplorerFromTheSystemDirectory)
{
  EXPECT_FALSE(graphics->RevealPath("", true));
  EXPECT_FALSE(graphics->RevealPath(nullptr, false));
  EXPECT_TRUE(script::ShellExecutes().empty());

  EXPECT_TRUE(graphics->RevealPath("C:\\Presets\\Warm.fxp", true));
  EXPECT_TRUE(graphics->RevealPath("C:\\Presets", false));
  script::AnswerShellExecute(SE_ERR_FNF);
  EXPECT_FALSE(graphics->RevealPath("C:\\Gone", false));

  const std::vector<script::ShellExecuteCall> calls = script::ShellExecutes();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].operation, L"open");
  EXPECT_EQ(calls[0].file, L"explorer.exe");
  EXPECT_EQ(calls[0].parameters, L"/select,\"C:\\Presets\\Warm.fxp\\\"");
  EXPECT_EQ(calls[0].directory, L"C:\\Windows\\system32\\");
  EXPECT_EQ(calls[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(calls[1].parameters, L"\"C:\\Presets\\\"");
}

TEST_F(PlatformServicesTest, OpenURLConfirmsChecksTheConnectionAndReportsFailure)
{
  const char* url = "https://example.com/corvane?ü=1";

  // Refused confirmation: nothing is opened.
  script::AnswerMessageBox(IDNO);
  EXPECT_FALSE(graphics->OpenURL(url, "Corvane", "Open the manual?", "No connection"));
  EXPECT_TRUE(script::ShellExecutes().empty());

  // Confirmed and connected: the shell opens the address.
  script::AnswerMessageBox(IDYES);
  EXPECT_TRUE(graphics->OpenURL(url, "Corvane", "Open the manual?", "No connection"));
  ASSERT_EQ(script::ShellExecutes().size(), 1u);
  EXPECT_EQ(script::ShellExecutes()[0].operation, L"open");
  EXPECT_EQ(script::ShellExecutes()[0].file, L"https://example.com/corvane?ü=1");

  // A shell failure is a failure.
  script::AnswerShellExecute(SE_ERR_NOASSOC);
  EXPECT_FALSE(graphics->OpenURL(url));

  // Offline: the error text is shown under the same caption, and nothing is opened.
  script::SetInternetConnected(false);
  EXPECT_FALSE(graphics->OpenURL(url, "Corvane", nullptr, "No connection"));
  EXPECT_FALSE(graphics->OpenURL(url));
  EXPECT_EQ(script::ShellExecutes().size(), 2u);

  const std::vector<script::MessageBoxShown> boxes = script::MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, L"Open the manual?");
  EXPECT_EQ(boxes[0].caption, L"Corvane");
  EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(boxes[2].text, L"No connection");
  EXPECT_EQ(boxes[2].caption, L"Corvane");
  EXPECT_EQ(boxes[2].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
}

TEST_F(PlatformServicesTest, MessageBoxHandsTheAnswerToTheCompletion)
{
  std::vector<EMsgBoxResult> completed;
  script::AnswerMessageBox(IDCANCEL);
  const EMsgBoxResult result = graphics->ShowMessageBox("Reset all?", "Corvane", kMB_OKCANCEL,
                                                        [&](EMsgBoxResult r) { completed.push_back(r); });
  EXPECT_EQ(result, kCANCEL);
  EXPECT_EQ(completed, std::vector<EMsgBoxResult>{kCANCEL});
  ASSERT_EQ(script::MessageBoxes().size(), 1u);
  EXPECT_EQ(script::MessageBoxes()[0].text, L"Reset all?");
  EXPECT_EQ(script::MessageBoxes()[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
}

TEST_F(PlatformServicesTest, FolderChooserAnswersWithATrailingSeparatorOrNothing)
{
  std::vector<std::pair<std::string, std::string>> completed;
  auto note = [&](const std::string& file, const std::string& dir) { completed.emplace_back(file, dir); };

  script::AnswerFolderDialog(L"/tmp");
  std::string dir = "previous";
  graphics->PromptForDirectory(dir, note);
  EXPECT_EQ(dir, "/tmp\\");

  script::CancelFolderDialog();
  dir = "previous";
  graphics->PromptForDirectory(dir, note);
  EXPECT_EQ(dir, "");

  ASSERT_EQ(completed.size(), 2u);
  EXPECT_EQ(completed[0], (std::pair<std::string, std::string>{"", "/tmp\\"}));
  EXPECT_EQ(completed[1], (std::pair<std::string, std::string>{"", ""}));

  const std::vector<script::FolderDialogShown> shown = script::FolderDialogs();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].title, L"Choose a Directory");
  EXPECT_EQ(shown[0].flags, 0x50u);
  EXPECT_TRUE(shown[0].comInitialised);
}

TEST_F(PlatformServicesTest, ChoosersWithoutAWindowShowNothing)
{
  std::string file = "Warm.fxp";
  std::string dir = "C:\\Presets\\";
  bool completed = false;
  graphics->PromptForFile(file, dir, EFileAction::Open, "fxp", [&](const std::string&, const std::string&) {
    completed = true;
  });
  EXPECT_EQ(file, "");
  EXPECT_EQ(dir, "C:\\Presets\\");
  EXPECT_FALSE(completed);

  IColor color(255, 10, 20, 30);
  EXPECT_FALSE(graphics->PromptForColor(color, "Colour"));
  EXPECT_EQ(color, IColor(255, 10, 20, 30));

  EXPECT_TRUE(script::FileDialogs().empty());
  EXPECT_TRUE(script::ColorDialogs().empty());
}

TEST_F(PlatformServicesTest, ClipboardTextFromAnotherApplicationArrivesAsUTF8)
{
  std::string text = "stale";
  ASSERT_TRUE(script::SetClipboardText(L""));
  EXPECT_FALSE(graphics->GetTextFromClipboard(text));
  EXPECT_EQ(text, "");

  ASSERT_TRUE(script::SetClipboardText(L"Grüße −3 dB ✓"));
  EXPECT_TRUE(graphics->GetTextFromClipboard(text));
  EXPECT_EQ(text, "Grüße −3 dB ✓");
}

TEST_F(PlatformServicesTest, ATextEntryThatCannotBeMadeLeavesNoControlWaiting)
{
  auto* control = static_cast<EntryControl*>(graphics->AttachControl(new EntryControl(IRect(0, 0, 50, 20), 0)));
  graphics->AwaitTextEntry(control, 0);
  graphics->CreatePlatformTextEntry(0, ITextStyle(), IRect(0, 0, 40, 16), 7, "0.0");
  EXPECT_EQ(graphics->GetTextEntryWindow(), nullptr);
  EXPECT_EQ(graphics->ControlAwaitingTextEntry(), nullptr);
}

using OpenEditorServicesTest = OpenEditorTest;

TEST_F(OpenEditorServicesTest, ClipboardRoundTripKeepsNonASCIIText)
{
  EXPECT_TRUE(graphics->SetTextInClipboard("Grüße −3 dB ✓"));
  EXPECT_EQ(script::ClipboardText(), std::wstring(L"Grüße −3 dB ✓"));
  std::string text;
  EXPECT_TRUE(graphics->GetTextFromClipboard(text));
  EXPECT_EQ(text, "Grüße −3 dB ✓");
  EXPECT_EQ(GetClipboardOwner(), frame);

  // Placing nothing empties the clipboard and says so.
  EXPECT_FALSE(graphics->SetTextInClipboard(""));
  EXPECT_FALSE(script::ClipboardText().has_value());
  EXPECT_FALSE(graphics->GetTextFromClipboard(text));
  EXPECT_EQ(text, "");

  // Another window holding the clipboard open: nothing is placed.
  ASSERT_TRUE(OpenClipboard(view));
  EXPECT_FALSE(graphics->SetTextInClipboard("x"));
  CloseClipboard();
}

TEST_F(OpenEditorServicesTest, MessageBoxesBelongToTheHostsTopLevelWindow)
{
  graphics->ShowMessageBox("Reset all?", "Corvane", kMB_YESNO);
  ASSERT_EQ(script::MessageBoxes().size(), 1u);
  EXPECT_EQ(script::MessageBoxes()[0].owner, frame);
}

class FileChooserTest : public OpenEditorTest
{
protected:
  void SetUp() override
  {
    OpenEditorTest::SetUp();
    folder = std::filesystem::temp_directory_path() / ("corvane-chooser-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    preset = folder / "Warm.fxp";
    std::ofstream(preset) << "preset";
  }
  void TearDown() override
  {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    OpenEditorTest::TearDown();
  }

  std::filesystem::path folder;
  std::filesystem::path preset;
};

TEST_F(FileChooserTest, OpenChooserFiltersByTheExtensionsAndAnswersWithPathAndFolder)
{
  std::vector<std::pair<std::string, std::string>> completed;
  std::string file = "Start.fxp";
  std::string dir = folder.string();
  script::AnswerFileDialog(preset.wstring());
  graphics->PromptForFile(file, dir, EFileAction::Open, "fxp fxb",
                          [&](const std::string& f, const std::string& d) { completed.emplace_back(f, d); });

  EXPECT_EQ(file, preset.string());
  EXPECT_EQ(dir, folder.string() + "/");
  ASSERT_EQ(completed.size(), 1u);
  EXPECT_EQ(completed[0].first, file);
  EXPECT_EQ(completed[0].second, dir);

  ASSERT_EQ(script::FileDialogs().size(), 1u);
  const script::FileDialogShown shown = script::FileDialogs()[0];
  EXPECT_FALSE(shown.save);
  EXPECT_EQ(shown.owner, editor);
  EXPECT_EQ(shown.flags, 0x1800u);
  EXPECT_EQ(shown.maxFile, 259u);
  ASSERT_EQ(shown.filters.size(), 1u);
  EXPECT_EQ(shown.filters[0].first, L"*.fxp;*.fxb");
  EXPECT_EQ(shown.filters[0].second, L"*.fxp;*.fxb");
  EXPECT_EQ(shown.defaultExtension, L"fxp");
  EXPECT_EQ(shown.initialFile, L"Start.fxp");
  EXPECT_EQ(shown.initialDirectory, folder.wstring());
}

TEST_F(FileChooserTest, SaveChooserAndCancel)
{
  std::vector<std::string> completedNames;
  auto note = [&](const std::string& f, const std::string&) { completedNames.push_back(f); };
  std::string file;
  std::string dir = folder.string();

  // Typed without an extension: the default one is added.
  script::AnswerFileDialog((folder / "Bright").wstring());
  graphics->PromptForFile(file, dir, EFileAction::Save, "fxp", note);
  EXPECT_EQ(file, (folder / "Bright.fxp").string());

  script::CancelFileDialog();
  graphics->PromptForFile(file, dir, EFileAction::Save, "", note);
  EXPECT_EQ(file, "");
  EXPECT_EQ(dir, folder.string() + "/");
  EXPECT_EQ(completedNames, (std::vector<std::string>{(folder / "Bright.fxp").string(), ""}));

  const std::vector<script::FileDialogShown> shown = script::FileDialogs();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_TRUE(shown[0].save);
  EXPECT_EQ(shown[0].flags, 0x802u);
  // No extensions: no filter, no default extension.
  EXPECT_TRUE(shown[1].filters.empty());
  EXPECT_EQ(shown[1].defaultExtension, L"");
}

TEST_F(FileChooserTest, LongExtensionListsKeepWholePatternsWithinTheFilterBuffer)
{
  std::string extensions;
  for (int i = 0; i < 40; ++i)
    extensions += "ext" + std::to_string(i) + " ";
  extensions = std::string(20, 'q') + " " + extensions;
  std::string file;
  std::string dir;
  script::CancelFileDialog();
  graphics->PromptForFile(file, dir, EFileAction::Open, extensions.c_str());

  ASSERT_EQ(script::FileDialogs().size(), 1u);
  const script::FileDialogShown shown = script::FileDialogs()[0];
  ASSERT_EQ(shown.filters.size(), 1u);
  const std::wstring& patterns = shown.filters[0].second;
  // Description and patterns, each terminated, and the closing terminator fit 256 characters.
  EXPECT_LE(2 * (patterns.size() + 1) + 1, 256u);
  EXPECT_EQ(patterns.substr(0, 23), L"*." + std::wstring(20, L'q') + L";");
  // Every pattern is whole: the list ends with a complete "*.extN".
  const std::wstring last = patterns.substr(patterns.rfind(L';') + 1);
  EXPECT_EQ(last.substr(0, 5), L"*.ext");
  EXPECT_NE(extensions.find(std::string(last.begin() + 2, last.end()) + " "), std::string::npos);
  // The default extension is cut to its 16-character buffer.
  EXPECT_EQ(shown.defaultExtension, std::wstring(15, L'q'));
}

TEST_F(OpenEditorServicesTest, ColourChooserStartsFromTheColourAndKeepsAlpha)
{
  std::vector<IColor> completed;
  IColor color(128, 10, 20, 30);
  script::AnswerColorDialog(RGB(200, 100, 50));
  EXPECT_TRUE(graphics->PromptForColor(color, "Knob colour", [&](const IColor& c) { completed.push_back(c); }));
  EXPECT_EQ(color, IColor(128, 200, 100, 50));
  EXPECT_EQ(completed, std::vector<IColor>{IColor(128, 200, 100, 50)});

  script::CancelColorDialog();
  EXPECT_FALSE(graphics->PromptForColor(color, "", [&](const IColor& c) { completed.push_back(c); }));
  EXPECT_EQ(color, IColor(128, 200, 100, 50));
  EXPECT_EQ(completed.size(), 1u);

  const std::vector<script::ColorDialogShown> shown = script::ColorDialogs();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].owner, editor);
  EXPECT_EQ(shown[0].initial, RGB(10, 20, 30));
  EXPECT_EQ(shown[0].title, L"Knob colour");
  EXPECT_EQ(shown[0].hookColor, std::optional<COLORREF>(RGB(10, 20, 30)));
  const DWORD flags = CC_FULLOPEN | CC_RGBINIT | CC_SOLIDCOLOR | CC_ANYCOLOR | CC_ENABLEHOOK;
  EXPECT_EQ(shown[0].flags & flags, flags);
  EXPECT_EQ(shown[1].initial, RGB(200, 100, 50));
}

} // namespace
} // namespace platformtest

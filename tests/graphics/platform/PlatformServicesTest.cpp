#include <string>
#include <vector>

#include "PlatformServicesFixture.h"

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

} // namespace
} // namespace platformtest

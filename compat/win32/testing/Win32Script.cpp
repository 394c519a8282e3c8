// The scripted user's answers and the records of what was asked.

#include "Win32Script.h"
#include "Win32ScriptState.h"

#include <deque>
#include <mutex>

namespace {

struct ScriptState
{
  std::mutex mutex;
  std::deque<int> messageBoxAnswers;
  std::vector<win32compat::script::MessageBoxShown> messageBoxes;
  std::deque<std::function<UINT(const win32compat::script::MenuShown&)>> menuAnswers;
  std::vector<win32compat::script::MenuShown> menus;
  std::deque<std::optional<std::wstring>> fileAnswers;
  std::vector<win32compat::script::FileDialogShown> fileDialogs;
  std::deque<std::optional<std::wstring>> folderAnswers;
  std::vector<win32compat::script::FolderDialogShown> folderDialogs;
  std::deque<std::optional<COLORREF>> colorAnswers;
  std::vector<win32compat::script::ColorDialogShown> colorDialogs;
  std::deque<INT_PTR> shellAnswers;
  std::vector<win32compat::script::ShellExecuteCall> shellCalls;
  bool connected = true;
};

ScriptState& Script()
{
  static ScriptState* state = new ScriptState;
  return *state;
}

template <typename Action>
auto Locked(Action action)
{
  auto& state = Script();
  std::lock_guard<std::mutex> lock(state.mutex);
  return action(state);
}

template <typename T>
bool TakeFront(std::deque<T>& queue, T& out)
{
  if (queue.empty())
    return false;
  out = std::move(queue.front());
  queue.pop_front();
  return true;
}

} // namespace

namespace win32compat::script {

void Reset()
{
  Locked([](ScriptState& s) {
    s.messageBoxAnswers.clear();
    s.messageBoxes.clear();
    s.menuAnswers.clear();
    s.menus.clear();
    s.fileAnswers.clear();
    s.fileDialogs.clear();
    s.folderAnswers.clear();
    s.folderDialogs.clear();
    s.colorAnswers.clear();
    s.colorDialogs.clear();
    s.shellAnswers.clear();
    s.shellCalls.clear();
    s.connected = true;
    return 0;
  });
}

void AnswerMessageBox(int button)
{
  Locked([=](ScriptState& s) {
    s.messageBoxAnswers.push_back(button);
    return 0;
  });
}

std::vector<MessageBoxShown> MessageBoxes()
{
  return Locked([](ScriptState& s) { return s.messageBoxes; });
}

void AnswerMenu(UINT id)
{
  AnswerMenu([id](const MenuShown&) { return id; });
}

void AnswerMenu(std::function<UINT(const MenuShown&)> choose)
{
  Locked([&](ScriptState& s) {
    s.menuAnswers.push_back(std::move(choose));
    return 0;
  });
}

std::vector<MenuShown> Menus()
{
  return Locked([](ScriptState& s) { return s.menus; });
}

void AnswerFileDialog(const std::wstring& path)
{
  Locked([&](ScriptState& s) {
    s.fileAnswers.emplace_back(path);
    return 0;
  });
}

void CancelFileDialog()
{
  Locked([](ScriptState& s) {
    s.fileAnswers.emplace_back(std::nullopt);
    return 0;
  });
}

std::vector<FileDialogShown> FileDialogs()
{
  return Locked([](ScriptState& s) { return s.fileDialogs; });
}

void AnswerFolderDialog(const std::wstring& path)
{
  Locked([&](ScriptState& s) {
    s.folderAnswers.emplace_back(path);
    return 0;
  });
}

void CancelFolderDialog()
{
  Locked([](ScriptState& s) {
    s.folderAnswers.emplace_back(std::nullopt);
    return 0;
  });
}

std::vector<FolderDialogShown> FolderDialogs()
{
  return Locked([](ScriptState& s) { return s.folderDialogs; });
}

void AnswerColorDialog(COLORREF color)
{
  Locked([=](ScriptState& s) {
    s.colorAnswers.emplace_back(color);
    return 0;
  });
}

void CancelColorDialog()
{
  Locked([](ScriptState& s) {
    s.colorAnswers.emplace_back(std::nullopt);
    return 0;
  });
}

std::vector<ColorDialogShown> ColorDialogs()
{
  return Locked([](ScriptState& s) { return s.colorDialogs; });
}

void AnswerShellExecute(INT_PTR result)
{
  Locked([=](ScriptState& s) {
    s.shellAnswers.push_back(result);
    return 0;
  });
}

std::vector<ShellExecuteCall> ShellExecutes()
{
  return Locked([](ScriptState& s) { return s.shellCalls; });
}

void SetInternetConnected(bool connected)
{
  Locked([=](ScriptState& s) {
    s.connected = connected;
    return 0;
  });
}

} // namespace win32compat::script

namespace win32compat {

std::optional<int> TakeMessageBoxAnswer()
{
  return Locked([](ScriptState& s) {
    int answer;
    return TakeFront(s.messageBoxAnswers, answer) ? std::optional<int>(answer) : std::nullopt;
  });
}

void Record(script::MessageBoxShown shown)
{
  Locked([&](ScriptState& s) {
    s.messageBoxes.push_back(std::move(shown));
    return 0;
  });
}

std::function<UINT(const script::MenuShown&)> TakeMenuAnswer()
{
  return Locked([](ScriptState& s) {
    std::function<UINT(const script::MenuShown&)> answer;
    TakeFront(s.menuAnswers, answer);
    return answer;
  });
}

void Record(script::MenuShown shown)
{
  Locked([&](ScriptState& s) {
    s.menus.push_back(std::move(shown));
    return 0;
  });
}

bool TakeFileAnswer(std::optional<std::wstring>& answer)
{
  return Locked([&](ScriptState& s) { return TakeFront(s.fileAnswers, answer); });
}

void Record(script::FileDialogShown shown)
{
  Locked([&](ScriptState& s) {
    s.fileDialogs.push_back(std::move(shown));
    return 0;
  });
}

bool TakeFolderAnswer(std::optional<std::wstring>& answer)
{
  return Locked([&](ScriptState& s) { return TakeFront(s.folderAnswers, answer); });
}

void Record(script::FolderDialogShown shown)
{
  Locked([&](ScriptState& s) {
    s.folderDialogs.push_back(std::move(shown));
    return 0;
  });
}

bool TakeColorAnswer(std::optional<COLORREF>& answer)
{
  return Locked([&](ScriptState& s) { return TakeFront(s.colorAnswers, answer); });
}

void Record(script::ColorDialogShown shown)
{
  Locked([&](ScriptState& s) {
    s.colorDialogs.push_back(std::move(shown));
    return 0;
  });
}

INT_PTR TakeShellExecuteAnswer()
{
  return Locked([](ScriptState& s) {
    INT_PTR answer = 42;
    TakeFront(s.shellAnswers, answer);
    return answer;
  });
}

void Record(script::ShellExecuteCall call)
{
  Locked([&](ScriptState& s) {
    s.shellCalls.push_back(std::move(call));
    return 0;
  });
}

bool InternetConnected()
{
  return Locked([](ScriptState& s) { return s.connected; });
}

} // namespace win32compat

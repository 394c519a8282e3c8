// The platform services of the X11 layer: the CLIPBOARD selection, the desktop's opener for web
// addresses and paths, fonts from files, memory and fontconfig, and the refusals of what an X
// desktop has no common form for (platform text entry, menus, boxes, choosers).

#include "IGraphicsX11.h"

#include <X11/Xatom.h>
#include <fontconfig/fontconfig.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "IPlugLogger.h"
#include "ResourceLocation.h"
#include "X11Connection.h"

extern char** environ;

namespace iplug::igraphics {

namespace {

// A font whose file bytes the layer read itself.
class BytesFont : public PlatformFont
{
public:
  BytesFont(std::vector<uint8_t> bytes, int faceIdx, bool isSystem)
    : PlatformFont(isSystem), mBytes(std::move(bytes)), mFaceIdx(faceIdx)
  {
  }
  std::unique_ptr<FontData> GetFontData() override { return std::make_unique<FontData>(mBytes, mFaceIdx); }

private:
  std::vector<uint8_t> mBytes;
  int mFaceIdx;
};

std::vector<uint8_t> ReadFile(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Starts xdg-open on the argument without waiting for it (the opener may run as long as the
// browser it starts): a shell puts it in the background and ends at once, so nothing is left for
// this process to reap. False when the desktop has no xdg-open.
bool RunOpener(const char* argument)
{
  if (!argument || !*argument)
    return false;
  char shell[] = "/bin/sh";
  char flag[] = "-c";
  char script[] = "command -v xdg-open >/dev/null 2>&1 || exit 1; xdg-open \"$1\" >/dev/null 2>&1 &";
  char name[] = "sh";
  char* argv[] = {shell, flag, script, name, const_cast<char*>(argument), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, shell, nullptr, nullptr, argv, environ) != 0)
    return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
  {
    if (errno != EINTR)
      return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

// ---- Clipboard ----------------------------------------------------------------------------------

bool IGraphicsX11::SetTextInClipboard(const char* str)
{
  if (!mX || !mX->window || !str)
    return false;
  mClipboardText = str;
  XSetSelectionOwner(mX->display, mX->clipboard, mX->window, CurrentTime);
  const bool owned = XGetSelectionOwner(mX->display, mX->clipboard) == mX->window;
  if (!owned)
    mClipboardText.clear();
  return owned;
}

bool IGraphicsX11::GetTextFromClipboard(std::string& str)
{
  str.clear();
  if (!mX || !mX->window)
    return false;
  const Window owner = XGetSelectionOwner(mX->display, mX->clipboard);
  if (owner == None)
    return false;
  if (owner == mX->window)
  {
    str = mClipboardText;
    return true;
  }

  XDeleteProperty(mX->display, mX->window, mX->selectionProperty);
  XConvertSelection(mX->display, mX->clipboard, mX->utf8String, mX->selectionProperty, mX->window, CurrentTime);
  XFlush(mX->display);
  // The owner answers through the server; one that does not within a second never will.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  XEvent event{};
  bool answered = false;
  while (std::chrono::steady_clock::now() < deadline)
  {
    if (XCheckTypedWindowEvent(mX->display, mX->window, SelectionNotify, &event))
    {
      answered = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!answered || event.xselection.property == None)
    return false;

  Atom type = None;
  int format = 0;
  unsigned long items = 0, remaining = 0;
  unsigned char* data = nullptr;
  bool ok = false;
  if (XGetWindowProperty(mX->display, mX->window, mX->selectionProperty, 0, 1 << 22, True, AnyPropertyType, &type,
                         &format, &items, &remaining, &data) == Success)
  {
    // Large texts come in pieces (INCR), which this editor has no use for.
    if (data && format == 8 && (type == mX->utf8String || type == XA_STRING))
    {
      str.assign(reinterpret_cast<const char*>(data), items);
      ok = true;
    }
    else
    {
      TRACE_F("the clipboard's text came as a type the editor does not read");
    }
  }
  if (data)
    XFree(data);
  return ok;
}

// ---- The desktop's opener -------------------------------------------------------------------------

bool IGraphicsX11::OpenURL(const char* url, const char*, const char*, const char*) { return RunOpener(url); }

bool IGraphicsX11::RevealPath(const char* path, bool select)
{
  if (!path || !*path)
    return false;
  // File managers differ in how to select a file; its folder is what every one shows.
  std::filesystem::path target(path);
  std::error_code ec;
  if (select || !std::filesystem::is_directory(target, ec))
    target = target.parent_path();
  return RunOpener(target.empty() ? "." : target.c_str());
}

// ---- Refused services -----------------------------------------------------------------------------

EMsgBoxResult IGraphicsX11::ShowMessageBox(const char* str, const char*, EMsgBoxType, IMsgBoxCompletionHandlerFunc)
{
  TRACE_F("no message box on X11: %s", str ? str : "");
  return kNoResult;
}

void IGraphicsX11::PromptForFile(std::string& fileName, std::string& path, EFileAction, const char*,
                                 IFileDialogCompletionHandlerFunc)
{
  TRACE_F("no file chooser on X11");
  fileName.clear();
  path.clear();
}

void IGraphicsX11::PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc)
{
  TRACE_F("no folder chooser on X11");
  dir.clear();
}

bool IGraphicsX11::PromptForColor(IColor&, const char*, IColorPickerHandlerFunc)
{
  TRACE_F("no colour chooser on X11");
  return false;
}

void IGraphicsX11::CreatePlatformTextEntry(int paramIdx, const ITextStyle&, const IRect&, int, const char*)
{
  TRACE_F("no platform text entry on X11 (parameter %d)", paramIdx);
  // The control waiting for the text gets none.
  mInTextEntry = nullptr;
}

IPopupMenu* IGraphicsX11::CreatePlatformPopupMenu(IPopupMenu&, const IRect&, bool& isAsync)
{
  TRACE_F("no platform popup menu on X11");
  isAsync = false;
  return nullptr;
}

// ---- Fonts ----------------------------------------------------------------------------------------

PlatformFontPtr IGraphicsX11::LoadPlatformFont(const char*, const char* fontName, ETextStyle style)
{
  if (!fontName || !*fontName || !FcInit())
    return nullptr;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(fontName));
  const char* styleName = style == ETextStyle::Bold ? "Bold" : style == ETextStyle::Italic ? "Italic" : "Regular";
  FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(styleName));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match)
    return nullptr;

  PlatformFontPtr font;
  FcChar8* family = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  // fontconfig always finds something; only the family asked for is that font.
  if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
      FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(fontName)) == 0 &&
      FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
  {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    std::vector<uint8_t> bytes = ReadFile(reinterpret_cast<const char*>(file));
    if (!bytes.empty())
      font = std::make_unique<BytesFont>(std::move(bytes), index, true);
  }
  FcPatternDestroy(match);
  return font;
}

PlatformFontPtr IGraphicsX11::LoadPlatformFont(const char*, void* pData, int dataSize)
{
  if (!pData || dataSize <= 0)
    return nullptr;
  const auto* first = static_cast<const uint8_t*>(pData);
  return std::make_unique<BytesFont>(std::vector<uint8_t>(first, first + dataSize), 0, false);
}

PlatformFontPtr IGraphicsX11::LoadPlatformFont(const char*, const char* fileNameOrResID)
{
  std::string location;
  if (LocateResource(fileNameOrResID, "ttf", location, nullptr, GetModuleInstance(), nullptr) != kAbsolutePath)
    return nullptr;
  std::vector<uint8_t> bytes = ReadFile(location);
  if (bytes.empty())
    return nullptr;
  return std::make_unique<BytesFont>(std::move(bytes), 0, false);
}

} // namespace iplug::igraphics

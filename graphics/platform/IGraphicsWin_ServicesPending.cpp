// Placeholder definitions of the platform services, so the window layer can be built and linked
// before the services land. Removed by the platform services' first commit.
#include "IGraphicsWin.h"

namespace iplug::igraphics {

IGraphicsWin::Font::Font(HFONT font, const char* styleName, bool isSystem)
  : PlatformFont(isSystem), mFont(font), mStyleName(styleName ? styleName : "")
{
}
IGraphicsWin::Font::~Font() {}
std::unique_ptr<FontData> IGraphicsWin::Font::GetFontData() { return std::make_unique<FontData>(); }

void IGraphicsWin::RetainFontCaches() {}
void IGraphicsWin::ReleaseFontCaches() {}
void IGraphicsWin::CommitTextEntry() {}
void IGraphicsWin::DestroyTextEntry() {}
void IGraphicsWin::CancelPlatformTextEntry() {}
bool IGraphicsWin::GetTextFromClipboard(std::string& str) { str.clear(); return false; }
bool IGraphicsWin::SetTextInClipboard(const char*) { return false; }
EMsgBoxResult IGraphicsWin::ShowMessageBox(const char*, const char*, EMsgBoxType, IMsgBoxCompletionHandlerFunc)
{
  return EMsgBoxResult{};
}
void IGraphicsWin::PromptForFile(std::string& fileName, std::string&, EFileAction, const char*,
                                 IFileDialogCompletionHandlerFunc)
{
  fileName.clear();
}
void IGraphicsWin::PromptForDirectory(std::string& dir, IFileDialogCompletionHandlerFunc) { dir.clear(); }
bool IGraphicsWin::PromptForColor(IColor&, const char*, IColorPickerHandlerFunc) { return false; }
bool IGraphicsWin::OpenURL(const char*, const char*, const char*, const char*) { return false; }
bool IGraphicsWin::RevealPath(const char*, bool) { return false; }
PlatformFontPtr IGraphicsWin::LoadPlatformFont(const char*, const char*, ETextStyle) { return nullptr; }
PlatformFontPtr IGraphicsWin::LoadPlatformFont(const char*, void*, int) { return nullptr; }
PlatformFontPtr IGraphicsWin::LoadPlatformFont(const char*, const char*) { return nullptr; }
void IGraphicsWin::CachePlatformFont(const char*, const PlatformFontPtr&) {}
void IGraphicsWin::CreatePlatformTextEntry(int, const ITextStyle&, const IRect&, int, const char*) {}
IPopupMenu* IGraphicsWin::CreatePlatformPopupMenu(IPopupMenu&, const IRect&, bool& isAsync)
{
  isAsync = false;
  return nullptr;
}

} // namespace iplug::igraphics

#pragma once

// Modal dialogs of our Win32 stand-in: message boxes, the file, folder and colour choosers, and
// the COM initialisation the folder browser needs. Nothing is shown: each call describes itself
// to the script of Win32Script.h, which answers as a user would; without a scripted answer a
// message box takes its default button (as Return would) and a chooser is cancelled. The calls
// run on the calling thread and return when answered, as the real modal loops do.

#include "Win32Types.h"

// --- Message boxes ----------------------------------------------------------------------------
#define MB_OK 0x00000000
#define MB_OKCANCEL 0x00000001
#define MB_ABORTRETRYIGNORE 0x00000002
#define MB_YESNOCANCEL 0x00000003
#define MB_YESNO 0x00000004
#define MB_RETRYCANCEL 0x00000005
#define MB_CANCELTRYCONTINUE 0x00000006
#define MB_ICONHAND 0x00000010
#define MB_ICONQUESTION 0x00000020
#define MB_ICONEXCLAMATION 0x00000030
#define MB_ICONASTERISK 0x00000040
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000
#define MB_DEFBUTTON2 0x00000100
#define MB_DEFBUTTON3 0x00000200
#define MB_DEFBUTTON4 0x00000300
#define MB_APPLMODAL 0x00000000
#define MB_SYSTEMMODAL 0x00001000
#define MB_TASKMODAL 0x00002000
#define MB_SETFOREGROUND 0x00010000
#define MB_TOPMOST 0x00040000
#define MB_TYPEMASK 0x0000000F
#define MB_DEFMASK 0x00000F00

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDTRYAGAIN 10
#define IDCONTINUE 11

// Returns the button pressed; an answer that is not one of the box's buttons counts as no answer.
// 0 for an unknown button set (ERROR_INVALID_PARAMETER).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// --- File choosers (comdlg32) -----------------------------------------------------------------
typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000
#define OFN_ENABLESIZING 0x00800000


typedef struct tagOFNA
{
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

typedef struct tagOFNW
{
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCWSTR lpstrFilter;
  LPWSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPWSTR lpstrFile;
  DWORD nMaxFile;
  LPWSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCWSTR lpstrInitialDir;
  LPCWSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCWSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
} OPENFILENAMEW, *LPOPENFILENAMEW;

// The scripted answer is a path typed into the dialog: one without an extension gets lpstrDefExt;
// with OFN_FILEMUSTEXIST (or OFN_PATHMUSTEXIST for its directory) an answer naming nothing that
// exists is refused, as the dialog would refuse it, and the next answer is taken. On success the
// path is in lpstrFile with nFileOffset and nFileExtension set; a path that does not fit gives
// FALSE with the size needed in lpstrFile's first two bytes. Cancelled, or a wrong lStructSize
// (which shows no dialog): FALSE.
BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn);

// --- Colour chooser (comdlg32) ----------------------------------------------------------------
typedef UINT_PTR(CALLBACK* LPCCHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SHOWHELP 0x00000008
#define CC_ENABLEHOOK 0x00000010
#define CC_ENABLETEMPLATE 0x00000020
#define CC_ENABLETEMPLATEHANDLE 0x00000040
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100

#define SETRGBSTRINGA "commdlg_SetRGBColor"
#define SETRGBSTRINGW L"commdlg_SetRGBColor"

typedef struct tagCHOOSECOLORA
{
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;
  COLORREF* lpCustColors;
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
} CHOOSECOLORA, *LPCHOOSECOLORA;

typedef struct tagCHOOSECOLORW
{
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;
  COLORREF* lpCustColors;
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
} CHOOSECOLORW, *LPCHOOSECOLORW;

// The dialog is a hidden window of class "#32770" owned by hwndOwner; with CC_ENABLEHOOK the hook
// gets WM_INITDIALOG (lParam: the CHOOSECOLOR) and may set the title (SetWindowText) and the
// colour (the registered message SETRGBSTRING, lParam the colour), which the script sees. On OK
// the answer is in rgbResult (TRUE); cancelled: FALSE. lpCustColors (16 colours) is required.
BOOL ChooseColorW(LPCHOOSECOLORW choose);

// --- Folder browser (shell32) and COM (ole32) -------------------------------------------------
#pragma pack(push, 1)
typedef struct _SHITEMID
{
  USHORT cb;
  BYTE abID[1];
} SHITEMID;
typedef struct _ITEMIDLIST
{
  SHITEMID mkid;
} ITEMIDLIST;
#pragma pack(pop)
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;

typedef int(CALLBACK* BFFCALLBACK)(HWND hwnd, UINT message, LPARAM lParam, LPARAM data);

#define BIF_RETURNONLYFSDIRS 0x00000001
#define BIF_DONTGOBELOWDOMAIN 0x00000002
#define BIF_STATUSTEXT 0x00000004
#define BIF_RETURNFSANCESTORS 0x00000008
#define BIF_EDITBOX 0x00000010
#define BIF_VALIDATE 0x00000020
#define BIF_NEWDIALOGSTYLE 0x00000040
#define BIF_USENEWUI (BIF_NEWDIALOGSTYLE | BIF_EDITBOX)
#define BIF_NONEWFOLDERBUTTON 0x00000200
#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2

typedef struct _browseinfoA
{
  HWND hwndOwner;
  PCIDLIST_ABSOLUTE pidlRoot;
  LPSTR pszDisplayName;
  LPCSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
} BROWSEINFOA, *PBROWSEINFOA, *LPBROWSEINFOA;

typedef struct _browseinfoW
{
  HWND hwndOwner;
  PCIDLIST_ABSOLUTE pidlRoot;
  LPWSTR pszDisplayName;
  LPCWSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
} BROWSEINFOW, *PBROWSEINFOW, *LPBROWSEINFOW;

// The scripted answer is a folder path; the result is an item list to free with CoTaskMemFree
// (NULL when cancelled). The callback gets BFFM_INITIALIZED with the dialog's window;
// pszDisplayName (MAX_PATH characters) receives the folder's own name. The script also learns
// whether COM was initialised on the thread, which the new dialog style requires.
PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW info);
// Copies the item list's path (the buffer must hold MAX_PATH characters).
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, LPWSTR path);

// Per thread, counted: S_OK the first time, S_FALSE after; OleUninitialize undoes one call.
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();
// Frees what SHBrowseForFolderW returned.
void CoTaskMemFree(LPVOID memory);

#ifdef UNICODE
#define MessageBox MessageBoxW
typedef OPENFILENAMEW OPENFILENAME;
typedef LPOPENFILENAMEW LPOPENFILENAME;
#define GetOpenFileName GetOpenFileNameW
#define GetSaveFileName GetSaveFileNameW
typedef CHOOSECOLORW CHOOSECOLOR;
typedef LPCHOOSECOLORW LPCHOOSECOLOR;
#define ChooseColor ChooseColorW
#define SETRGBSTRING SETRGBSTRINGW
typedef BROWSEINFOW BROWSEINFO;
typedef LPBROWSEINFOW LPBROWSEINFO;
#define SHBrowseForFolder SHBrowseForFolderW
#define SHGetPathFromIDList SHGetPathFromIDListW
#else
typedef OPENFILENAMEA OPENFILENAME;
typedef LPOPENFILENAMEA LPOPENFILENAME;
typedef CHOOSECOLORA CHOOSECOLOR;
typedef LPCHOOSECOLORA LPCHOOSECOLOR;
#define SETRGBSTRING SETRGBSTRINGA
typedef BROWSEINFOA BROWSEINFO;
typedef LPBROWSEINFOA LPBROWSEINFO;
#endif

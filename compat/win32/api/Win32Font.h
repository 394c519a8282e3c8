#pragma once

// GDI fonts of our Win32 stand-in, backed by fontconfig (the system's families and their files)
// and FreeType (reading the names of fonts added from memory).
//
// A font handle holds a LOGFONT; which face it stands for is decided the way GDI decides it:
// first among the fonts this process added from memory (AddFontMemResourceEx), by family name,
// then among the system's families through fontconfig, which substitutes a face for an unknown
// name, as GDI does. GetTextFace tells which family was taken. GetFontData reads the bytes of
// the face's file. Nothing is rasterised.

#include "Win32Types.h"

#define LF_FACESIZE 32
#define LF_FULLFACESIZE 64

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2

#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define OUT_CHARACTER_PRECIS 2
#define OUT_STROKE_PRECIS 3
#define OUT_TT_PRECIS 4
#define OUT_DEVICE_PRECIS 5
#define OUT_RASTER_PRECIS 6
#define OUT_TT_ONLY_PRECIS 7
#define OUT_OUTLINE_PRECIS 8

#define CLIP_DEFAULT_PRECIS 0

#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5

#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE (0 << 4)

#define RASTER_FONTTYPE 0x0001
#define DEVICE_FONTTYPE 0x0002
#define TRUETYPE_FONTTYPE 0x0004

#define NTM_REGULAR 0x00000040
#define NTM_BOLD 0x00000020
#define NTM_ITALIC 0x00000001
#define NTM_PS_OPENTYPE 0x00020000
#define NTM_TT_OPENTYPE 0x00040000

typedef struct tagLOGFONTA
{
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
} LOGFONTA, *PLOGFONTA, *LPLOGFONTA;

typedef struct tagLOGFONTW
{
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW;

typedef struct tagTEXTMETRICA
{
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICA, *PTEXTMETRICA, *LPTEXTMETRICA;

typedef struct tagTEXTMETRICW
{
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICW, *PTEXTMETRICW, *LPTEXTMETRICW;

typedef struct tagNEWTEXTMETRICA
{
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
  DWORD ntmFlags;
  UINT ntmSizeEM;
  UINT ntmCellHeight;
  UINT ntmAvgWidth;
} NEWTEXTMETRICA, *PNEWTEXTMETRICA, *LPNEWTEXTMETRICA;

typedef struct tagNEWTEXTMETRICW
{
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
  DWORD ntmFlags;
  UINT ntmSizeEM;
  UINT ntmCellHeight;
  UINT ntmAvgWidth;
} NEWTEXTMETRICW, *PNEWTEXTMETRICW, *LPNEWTEXTMETRICW;

typedef struct tagFONTSIGNATURE
{
  DWORD fsUsb[4];
  DWORD fsCsb[2];
} FONTSIGNATURE, *PFONTSIGNATURE, *LPFONTSIGNATURE;

typedef struct tagNEWTEXTMETRICEXA
{
  NEWTEXTMETRICA ntmTm;
  FONTSIGNATURE ntmFontSig;
} NEWTEXTMETRICEXA;

typedef struct tagNEWTEXTMETRICEXW
{
  NEWTEXTMETRICW ntmTm;
  FONTSIGNATURE ntmFontSig;
} NEWTEXTMETRICEXW;

typedef struct tagENUMLOGFONTEXA
{
  LOGFONTA elfLogFont;
  BYTE elfFullName[LF_FULLFACESIZE];
  BYTE elfStyle[LF_FACESIZE];
  BYTE elfScript[LF_FACESIZE];
} ENUMLOGFONTEXA, *LPENUMLOGFONTEXA;

typedef struct tagENUMLOGFONTEXW
{
  LOGFONTW elfLogFont;
  WCHAR elfFullName[LF_FULLFACESIZE];
  WCHAR elfStyle[LF_FACESIZE];
  WCHAR elfScript[LF_FACESIZE];
} ENUMLOGFONTEXW, *LPENUMLOGFONTEXW;

typedef int(CALLBACK* FONTENUMPROCA)(const LOGFONTA* logFont, const TEXTMETRICA* metric, DWORD fontType, LPARAM lParam);
typedef int(CALLBACK* FONTENUMPROCW)(const LOGFONTW* logFont, const TEXTMETRICW* metric, DWORD fontType, LPARAM lParam);

// Always succeeds for a LOGFONT (the face is matched when it is used); NULL for a NULL pointer.
HFONT CreateFontIndirectW(const LOGFONTW* logFont);

// The family name of the face that the DC's selected font stands for (see above).
int GetTextFaceW(HDC dc, int count, LPWSTR faceName);

// Bytes of the face of the DC's selected font. table 0: from the start of the font (for a face of
// a collection: from the start of that face's table directory); the tag 0x66637474 ('ttcf' as
// the DWORD GDI reads it): the whole collection file, GDI_ERROR when the face is not in one;
// any other tag (the four characters' bytes in file order, read as a little-endian DWORD): that
// table. With no buffer or a size of 0 the size available from the offset is returned; otherwise
// at most size bytes are copied and their count returned. GDI_ERROR for a missing table, an
// offset past its end or a DC without a font file.
DWORD GetFontData(HDC dc, DWORD table, DWORD offset, PVOID buffer, DWORD size);

// Calls the procedure once per family (and style) whose name matches lfFaceName without regard to
// case (an empty name: once per family), with an ENUMLOGFONTEX and a NEWTEXTMETRICEX; the
// process's memory fonts are private and not enumerated, as on Windows. Returns the procedure's
// last answer (enumeration stops when it answers 0), or 1 when nothing matched.
int EnumFontFamiliesExW(HDC dc, LPLOGFONTW logFont, FONTENUMPROCW proc, LPARAM lParam, DWORD flags);

// Adds the faces of a font file image (a single font or a collection) as private fonts of the
// process; copies the bytes. Returns a handle and the number of faces, or NULL (bytes that are not
// a font). RemoveFontMemResourceEx takes them away again; fonts already created keep working.
HANDLE AddFontMemResourceEx(PVOID fileView, DWORD size, PVOID reserved, DWORD* numFonts);
BOOL RemoveFontMemResourceEx(HANDLE fonts);

#ifdef UNICODE
typedef LOGFONTW LOGFONT;
typedef LPLOGFONTW LPLOGFONT;
typedef TEXTMETRICW TEXTMETRIC;
typedef NEWTEXTMETRICW NEWTEXTMETRIC;
typedef NEWTEXTMETRICEXW NEWTEXTMETRICEX;
typedef ENUMLOGFONTEXW ENUMLOGFONTEX;
typedef FONTENUMPROCW FONTENUMPROC;
#define CreateFontIndirect CreateFontIndirectW
#define GetTextFace GetTextFaceW
#define EnumFontFamiliesEx EnumFontFamiliesExW
#else
typedef LOGFONTA LOGFONT;
typedef LPLOGFONTA LPLOGFONT;
typedef TEXTMETRICA TEXTMETRIC;
typedef NEWTEXTMETRICA NEWTEXTMETRIC;
typedef NEWTEXTMETRICEXA NEWTEXTMETRICEX;
typedef ENUMLOGFONTEXA ENUMLOGFONTEX;
typedef FONTENUMPROCA FONTENUMPROC;
#endif

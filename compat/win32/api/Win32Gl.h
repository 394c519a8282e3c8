#pragma once

// Pixel formats, WGL and buffer swapping of our Win32 stand-in, on EGL (Mesa, off-screen).
//
// The pixel formats offered are RGBA with 8 bits per channel, OpenGL and drawing to windows, with
// double or single buffering and depth/stencil of 24/8, 24/0 or 0/0, plus one GDI-only format.
// A window's back buffer is an off-screen surface of its client size, with the format's depth and
// stencil buffers; it follows the client size when the context is made current again or the
// buffers are swapped. SwapBuffers reads the back buffer and presents it as the window's frame
// (Win32Display.h), keeping the back buffer's content.

#include "Win32Types.h"

#define PFD_TYPE_RGBA 0
#define PFD_TYPE_COLORINDEX 1
#define PFD_MAIN_PLANE 0
#define PFD_OVERLAY_PLANE 1
#define PFD_UNDERLAY_PLANE (-1)

#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_STEREO 0x00000002
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_DRAW_TO_BITMAP 0x00000008
#define PFD_SUPPORT_GDI 0x00000010
#define PFD_SUPPORT_OPENGL 0x00000020
#define PFD_GENERIC_FORMAT 0x00000040
#define PFD_NEED_PALETTE 0x00000080
#define PFD_SWAP_EXCHANGE 0x00000200
#define PFD_SWAP_COPY 0x00000400
#define PFD_GENERIC_ACCELERATED 0x00001000
#define PFD_SUPPORT_COMPOSITION 0x00008000
#define PFD_DEPTH_DONTCARE 0x20000000
#define PFD_DOUBLEBUFFER_DONTCARE 0x40000000
#define PFD_STEREO_DONTCARE 0x80000000

typedef struct tagPIXELFORMATDESCRIPTOR
{
  WORD nSize;
  WORD nVersion;
  DWORD dwFlags;
  BYTE iPixelType;
  BYTE cColorBits;
  BYTE cRedBits;
  BYTE cRedShift;
  BYTE cGreenBits;
  BYTE cGreenShift;
  BYTE cBlueBits;
  BYTE cBlueShift;
  BYTE cAlphaBits;
  BYTE cAlphaShift;
  BYTE cAccumBits;
  BYTE cAccumRedBits;
  BYTE cAccumGreenBits;
  BYTE cAccumBlueBits;
  BYTE cAccumAlphaBits;
  BYTE cDepthBits;
  BYTE cStencilBits;
  BYTE cAuxBuffers;
  BYTE iLayerType;
  BYTE bReserved;
  DWORD dwLayerMask;
  DWORD dwVisibleMask;
  DWORD dwDamageMask;
} PIXELFORMATDESCRIPTOR, *PPIXELFORMATDESCRIPTOR, *LPPIXELFORMATDESCRIPTOR;

// The best format (1-based) for the request: the drawing and OpenGL flags asked for must be
// there, double buffering must match unless PFD_DOUBLEBUFFER_DONTCARE; then at least the depth
// and stencil bits asked for, with as few extra bits as possible. 0 when nothing fits.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor);
// A window's format is set once; setting the same one again succeeds, another fails
// (ERROR_INVALID_PIXEL_FORMAT).
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
int GetPixelFormat(HDC dc);
// Returns the number of formats; fills the descriptor when one is given and the format exists.
int DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR descriptor);

// A context for the DC's window's pixel format (which must be set and support OpenGL).
HGLRC wglCreateContext(HDC dc);
// A context current on another thread cannot be deleted (ERROR_BUSY); one current on this
// thread is released first.
BOOL wglDeleteContext(HGLRC context);
// context NULL releases the current context. Otherwise the DC must belong to a window whose pixel
// format is the context's (ERROR_INVALID_PIXEL_FORMAT) and the context must not be current on
// another thread (ERROR_BUSY).
BOOL wglMakeCurrent(HDC dc, HGLRC context);
HGLRC wglGetCurrentContext();
HDC wglGetCurrentDC();
// NULL without a current context, for the OpenGL 1.1 functions (which GetProcAddress finds in
// "opengl32.dll") and for names that are not OpenGL or WGL extension functions. The WGL extension
// functions offered: wglGetExtensionsStringARB, wglGetExtensionsStringEXT, wglSwapIntervalEXT and
// wglGetSwapIntervalEXT.
PROC wglGetProcAddress(LPCSTR name);
// Presents the window's back buffer; the DC's window must be the one the calling thread's current
// context draws to (else FALSE with ERROR_INVALID_HANDLE).
BOOL SwapBuffers(HDC dc);

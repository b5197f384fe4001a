// Fonts and text: logical fonts, metrics, measuring, ExtTextOutW and
// DrawTextW drawn through the text engine into device contexts (text colour,
// opaque or transparent background, clipping, origins), and font files
// registered for this process. Text pixels get alpha 0, as GDI leaves them.
#pragma once

#include "WinGdiConst.h"
#include "WinTypes.h"

HFONT CreateFontIndirectW(const LOGFONTW* font);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face);

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics);
// `count` code units of `text`.
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size);
int GetTextFaceW(HDC hdc, int count, LPWSTR face);

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count);
// `dx` (optional): the advance of each code unit.
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rc, LPCWSTR text, UINT count,
                 const INT* dx);
// `count` -1: up to the terminating zero. Returns the text height (see the
// text engine's layout); with DT_CALCRECT only measures and adjusts `rc`.
int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rc, UINT format);
int DrawTextExW(HDC hdc, LPWSTR text, int count, RECT* rc, UINT format, DRAWTEXTPARAMS* params);

// Font files for this process only: the faces become available to fonts
// created afterwards. The result is the number of faces added (0 on failure).
inline constexpr DWORD FR_PRIVATE = 0x10;
inline constexpr DWORD FR_NOT_ENUM = 0x20;
int AddFontResourceW(LPCWSTR path);
BOOL RemoveFontResourceW(LPCWSTR path);
int AddFontResourceExW(LPCWSTR path, DWORD flags, LPVOID reserved);
BOOL RemoveFontResourceExW(LPCWSTR path, DWORD flags, LPVOID reserved);

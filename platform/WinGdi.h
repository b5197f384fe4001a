// Device contexts and drawing objects: memory DCs, selection, saved states,
// coordinate origins, clipping and the colours and modes that drawing reads.
// Coordinates are MM_TEXT: device = logical - window origin + viewport origin.
#pragma once

#include "WinGdiConst.h"
#include "WinTypes.h"

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
// Stock objects are never deleted; a bitmap selected into a DC is not deleted
// (FALSE). A pen, brush or font still selected stays usable by that DC.
BOOL DeleteObject(HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);

int SaveDC(HDC hdc);
// `level` > 0: that saved state; < 0: relative to the latest (-1 = latest).
BOOL RestoreDC(HDC hdc, int level);

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* pt);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* pt);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC hdc, POINT* pt);
BOOL LPtoDP(HDC hdc, POINT* points, int count);
BOOL DPtoLP(HDC hdc, POINT* points, int count);
int SetMapMode(HDC hdc, int mode); // only MM_TEXT
int GetMapMode(HDC hdc);

// Clipping. Rectangles are logical, regions device coordinates. Results are
// NULLREGION, SIMPLEREGION, COMPLEXREGION or RGN_ERROR.
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC hdc, HRGN rgn);
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int OffsetClipRgn(HDC hdc, int dx, int dy);
// 1 and the region when the DC has a clip region, 0 when it has none.
int GetClipRgn(HDC hdc, HRGN rgn);
// The logical bounds of what can be drawn (clip region and visible area).
int GetClipBox(HDC hdc, RECT* rc);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, const RECT* rc);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetROP2(HDC hdc, int rop);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);

int GetDeviceCaps(HDC hdc, int index);

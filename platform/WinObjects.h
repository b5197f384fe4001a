// Inside the window system: the handle counter, the drawing objects behind
// HBITMAP/HBRUSH/HPEN/HFONT/HRGN and pixel surfaces. Not part of the public
// interface (platform/Windows.h does not include it).
#pragma once

#include "WinRegionData.h"
#include "WinTypes.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace platform::text {
class Font;
}

namespace platform::win {

// Handle values count up from a base above every small integer that the
// interface gives a meaning (system colour brushes, resource identifiers,
// HWND_BROADCAST), and are never reused while the process runs.
ULONG_PTR NewHandleValue();

// A view of pixel rows: 32 bits per pixel (B, G, R, A in memory) or 24.
// Stride is negative for bottom-up bitmaps, so Row(0) is always the top row.
struct Surface {
    std::uint8_t* Row0 = nullptr;
    std::ptrdiff_t Stride = 0;
    int Width = 0, Height = 0, Bpp = 32;
    std::uint8_t* Row(int y) const { return Row0 + y * Stride; }
    std::uint32_t* Row32(int y) const { return reinterpret_cast<std::uint32_t*>(Row(y)); }
    bool Valid() const { return Row0 && Width > 0 && Height > 0; }
};

struct GdiObject {
    explicit GdiObject(UINT type) : Type(type) {}
    virtual ~GdiObject() = default;
    const UINT Type; // OBJ_BITMAP, OBJ_BRUSH, ...
    bool Stock = false;
    int Selected = 0; // device contexts that have it selected
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(2 /*OBJ_BRUSH*/) {}
    UINT Style = 0; // BS_SOLID or BS_NULL
    COLORREF Color = 0;
    int SysColor = -1; // system colour brushes follow the colour table
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(1 /*OBJ_PEN*/) {}
    int Style = 0; // PS_*
    int Width = 1;
    COLORREF Color = 0;
};

struct FontObject : GdiObject {
    FontObject() : GdiObject(6 /*OBJ_FONT*/) {}
    LOGFONTW Log;
    // The engine's font, made on first use and again after font files changed.
    mutable std::shared_ptr<const platform::text::Font> Engine;
    mutable unsigned EngineGeneration = 0;
};

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(7 /*OBJ_BITMAP*/) {}
    int Width = 0, Height = 0, Bpp = 32;
    bool Dib = false;    // a DIB section (its bits were handed out)
    bool TopDown = true; // row order in memory
    std::ptrdiff_t RowBytes = 0;
    std::unique_ptr<std::uint8_t[]> Bits;
    Surface View() const;
};

struct RegionObject : GdiObject {
    RegionObject() : GdiObject(8 /*OBJ_REGION*/) {}
    RegionData Rgn;
};

// Creates a zero-filled bitmap; rows are padded to 4 bytes like DIBs.
std::shared_ptr<BitmapObject> MakeBitmap(int width, int height, int bpp, bool topDown);

HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle);
template <class T> std::shared_ptr<T> FindGdi(HGDIOBJ handle) {
    return std::dynamic_pointer_cast<T>(FindGdiObject(handle));
}
bool RemoveGdiObject(HGDIOBJ handle);
// The stock object's handle (created on first use).
HGDIOBJ StockObject(int index);
// Forget every object (test isolation); stock objects are made anew.
void ResetGdiObjects();

} // namespace platform::win

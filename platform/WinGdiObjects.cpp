#include "WinGdiConst.h"
#include "WinObjects.h"

#include <algorithm>
#include <cstring>

namespace platform::win {

namespace {

std::unordered_map<ULONG_PTR, std::shared_ptr<GdiObject>>& Table() {
    static std::unordered_map<ULONG_PTR, std::shared_ptr<GdiObject>> table;
    return table;
}

std::unordered_map<int, HGDIOBJ>& Stock() {
    static std::unordered_map<int, HGDIOBJ> stock;
    return stock;
}

std::shared_ptr<GdiObject> MakeStock(int index) {
    auto brush = [](UINT style, COLORREF c) {
        auto b = std::make_shared<BrushObject>();
        b->Style = style;
        b->Color = c;
        return b;
    };
    auto pen = [](int style, COLORREF c) {
        auto p = std::make_shared<PenObject>();
        p->Style = style;
        p->Color = c;
        return p;
    };
    auto font = [](int height, int weight) {
        auto f = std::make_shared<FontObject>();
        f->Log.lfHeight = height;
        f->Log.lfWeight = weight;
        f->Log.lfCharSet = DEFAULT_CHARSET;
        const char16_t face[] = u"Tahoma";
        std::copy(std::begin(face), std::end(face), f->Log.lfFaceName);
        return f;
    };
    switch (index) {
    case WHITE_BRUSH:
        return brush(BS_SOLID, 0xFFFFFF);
    case LTGRAY_BRUSH:
        return brush(BS_SOLID, 0xC0C0C0);
    case GRAY_BRUSH:
        return brush(BS_SOLID, 0x808080);
    case DKGRAY_BRUSH:
        return brush(BS_SOLID, 0x404040);
    case BLACK_BRUSH:
        return brush(BS_SOLID, 0);
    case NULL_BRUSH:
        return brush(BS_NULL, 0);
    case DC_BRUSH:
        return brush(BS_SOLID, 0xFFFFFF);
    case WHITE_PEN:
        return pen(PS_SOLID, 0xFFFFFF);
    case BLACK_PEN:
        return pen(PS_SOLID, 0);
    case NULL_PEN:
        return pen(PS_NULL, 0);
    case DC_PEN:
        return pen(PS_SOLID, 0);
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case ANSI_VAR_FONT:
        return font(-13, FW_NORMAL);
    case DEFAULT_GUI_FONT:
        return font(-11, FW_NORMAL);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: {
        auto f = font(-13, FW_NORMAL);
        const char16_t face[] = u"DejaVu Sans Mono";
        std::fill(std::begin(f->Log.lfFaceName), std::end(f->Log.lfFaceName), 0);
        std::copy(std::begin(face), std::end(face), f->Log.lfFaceName);
        return f;
    }
    case -1:
        return MakeBitmap(1, 1, 32, true); // a memory DC's first bitmap
    default:
        return nullptr;
    }
}

} // namespace

Surface BitmapObject::View() const {
    Surface s;
    s.Width = Width;
    s.Height = Height;
    s.Bpp = Bpp;
    if (!Bits || Width <= 0 || Height <= 0) return s;
    if (TopDown) {
        s.Row0 = Bits.get();
        s.Stride = RowBytes;
    } else {
        s.Row0 = Bits.get() + (Height - 1) * RowBytes;
        s.Stride = -RowBytes;
    }
    return s;
}

std::shared_ptr<BitmapObject> MakeBitmap(int width, int height, int bpp, bool topDown) {
    auto b = std::make_shared<BitmapObject>();
    b->Width = std::max(width, 0);
    b->Height = std::max(height, 0);
    b->Bpp = bpp;
    b->TopDown = topDown;
    b->RowBytes = ((static_cast<std::ptrdiff_t>(b->Width) * bpp + 31) / 32) * 4;
    const std::size_t size =
        static_cast<std::size_t>(b->RowBytes) * static_cast<std::size_t>(b->Height);
    if (size) {
        b->Bits.reset(new std::uint8_t[size]);
        std::memset(b->Bits.get(), 0, size);
    }
    return b;
}

HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> object) {
    const ULONG_PTR h = NewHandleValue();
    Table()[h] = std::move(object);
    return reinterpret_cast<HGDIOBJ>(h);
}

std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle) {
    auto& t = Table();
    auto it = t.find(reinterpret_cast<ULONG_PTR>(handle));
    return it == t.end() ? nullptr : it->second;
}

bool RemoveGdiObject(HGDIOBJ handle) {
    return Table().erase(reinterpret_cast<ULONG_PTR>(handle)) > 0;
}

HGDIOBJ StockObject(int index) {
    auto& stock = Stock();
    auto it = stock.find(index);
    if (it != stock.end() && FindGdiObject(it->second)) return it->second;
    auto obj = MakeStock(index);
    if (!obj) return nullptr;
    obj->Stock = true;
    HGDIOBJ h = AddGdiObject(obj);
    stock[index] = h;
    return h;
}

void ResetGdiObjects() {
    Table().clear();
    Stock().clear();
}

} // namespace platform::win

#include "WinBitmap.h"

#include "WinInternal.h"
#include "WinObjects.h"
#include "WinRender.h"

#include <algorithm>
#include <cstring>

using namespace platform::win;

namespace platform::win {

// A view of caller-owned DIB bits (32 or 24 bits per pixel).
bool DibView(const BITMAPINFO* info, const void* bits, Surface& out) {
    if (!info || !bits) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if ((h.biBitCount != 32 && h.biBitCount != 24) || h.biWidth <= 0 || h.biHeight == 0 ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
        return false;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const std::ptrdiff_t rowBytes =
        ((static_cast<std::ptrdiff_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    auto* base = static_cast<std::uint8_t*>(const_cast<void*>(bits));
    out.Width = h.biWidth;
    out.Height = height;
    out.Bpp = h.biBitCount;
    if (h.biHeight < 0) {
        out.Row0 = base;
        out.Stride = rowBytes;
    } else {
        out.Row0 = base + (height - 1) * rowBytes;
        out.Stride = -rowBytes;
    }
    return true;
}

} // namespace platform::win

HBITMAP CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
    if (width < 0 || height < 0) return nullptr;
    auto b = MakeBitmap(width, height, 32, true);
    if (bits && bitsPerPixel == 32) {
        // Rows of device-dependent bitmaps are padded to 16 bits: none for 32-bit pixels.
        const auto* src = static_cast<const std::uint8_t*>(bits);
        for (int y = 0; y < height; ++y)
            std::memcpy(b->Bits.get() + y * b->RowBytes,
                        src + static_cast<std::size_t>(y) * width * 4,
                        static_cast<std::size_t>(width) * 4);
    }
    return static_cast<HBITMAP>(AddGdiObject(b));
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return static_cast<HBITMAP>(AddGdiObject(MakeBitmap(width, height, 32, true)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if ((h.biBitCount != 32 && h.biBitCount != 24) || h.biWidth <= 0 || h.biHeight == 0 ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
        return nullptr;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    auto b = MakeBitmap(h.biWidth, height, h.biBitCount, h.biHeight < 0);
    if (!b->Bits) return nullptr;
    b->Dib = true;
    if (bits) *bits = b->Bits.get();
    return static_cast<HBITMAP>(AddGdiObject(b));
}

namespace {

// Copies rows between a bitmap and caller bits in the caller's format.
// `start`/`lines` count DIB scan lines (from the bottom for bottom-up DIBs).
int TransferRows(BitmapObject& bmp, UINT start, UINT lines, const Surface& dib, bool toDib) {
    const Surface own = bmp.View();
    const int width = std::min(own.Width, dib.Width);
    int copied = 0;
    const bool bottomUp = dib.Stride < 0;
    for (UINT k = 0; k < lines; ++k) {
        const int dibLine = static_cast<int>(start + k);
        if (dibLine >= dib.Height || dibLine >= own.Height) break;
        // Scan line n of a bottom-up DIB is row Height - 1 - n from the top.
        const int dibRow = bottomUp ? dib.Height - 1 - dibLine : dibLine;
        const int ownRow = bottomUp ? own.Height - 1 - dibLine : dibLine;
        for (int x = 0; x < width; ++x) {
            if (toDib)
                WritePixel(dib, x, dibRow, ReadPixel(own, x, ownRow));
            else
                WritePixel(own, x, ownRow, ReadPixel(dib, x, dibRow));
        }
        ++copied;
    }
    return copied;
}

} // namespace

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
    auto b = FindGdi<BitmapObject>(bitmap);
    if (!b || !info) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (!bits) {
        if (h.biBitCount == 0) h.biBitCount = static_cast<WORD>(b->Bpp);
        h.biWidth = b->Width;
        h.biHeight = b->Height;
        h.biPlanes = 1;
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(((b->Width * h.biBitCount + 31) / 32) * 4 * b->Height);
        return 1;
    }
    Surface dib;
    if (!DibView(info, bits, dib)) return 0;
    return TransferRows(*b, start, lines, dib, true);
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT) {
    auto b = FindGdi<BitmapObject>(bitmap);
    Surface dib;
    if (!b || !DibView(info, bits, dib)) return 0;
    return TransferRows(*b, start, lines, dib, false);
}

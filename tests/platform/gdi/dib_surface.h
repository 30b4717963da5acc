#pragma once
// A memory surface with a DIB section selected, for tests that draw and
// read the pixels back.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"

namespace gditest {

struct CDibSurface {
    gdi::HDC dc = nullptr;
    gdi::HBITMAP bitmap = nullptr;
    gdi::HGDIOBJ previous = nullptr;
    BYTE* bits = nullptr;
    LONG width = 0, height = 0, stride = 0;
    bool bottomUp = true;

    // masks: three DWORDs for BI_BITFIELDS; colors: the colour table.
    CDibSurface(LONG w, LONG h, WORD depth = 32, bool bottomUpRows = true, DWORD compression = gdi::BI_RGB,
                const DWORD* masks = nullptr, const std::vector<gdi::RGBQUAD>& colors = {})
        : width(w), height(h), bottomUp(bottomUpRows) {
        struct {
            gdi::BITMAPINFOHEADER header;
            gdi::RGBQUAD table[256];
        } info{};
        info.header = {sizeof(gdi::BITMAPINFOHEADER),     w, bottomUp ? h : -h, 1, depth, compression, 0, 0, 0,
                       static_cast<DWORD>(colors.size()), 0};
        if (masks != nullptr) std::memcpy(info.table, masks, 12);
        std::copy(colors.begin(), colors.end(), info.table);
        void* memory = nullptr;
        bitmap = gdi::CreateDIBSection(nullptr, reinterpret_cast<gdi::BITMAPINFO*>(&info), gdi::DIB_RGB_COLORS, &memory,
                                       nullptr, 0);
        bits = static_cast<BYTE*>(memory);
        stride = static_cast<LONG>(gdi::DibRowBytes(w, depth));
        dc = gdi::CreateCompatibleDC(nullptr);
        previous = gdi::SelectObject(dc, bitmap);
    }
    ~CDibSurface() {
        gdi::SelectObject(dc, previous);
        gdi::DeleteDC(dc);
        gdi::DeleteObject(bitmap);
    }
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    // Row y counted from the top, whatever the row order in memory.
    BYTE* Row(LONG y) { return bits + (bottomUp ? height - 1 - y : y) * stride; }
    DWORD& Pixel32(LONG x, LONG y) { return reinterpret_cast<DWORD*>(Row(y))[x]; }
    void Fill32(DWORD value) {
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x) Pixel32(x, y) = value;
    }
};

}  // namespace gditest

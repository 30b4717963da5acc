#pragma once
// A window that fills whatever it is asked to paint with its colour and
// records each request, for the painting tests.

#include <cstdint>
#include <vector>

#include "platform/framework/framework.h"
#include "platform/gdi/gdi.h"

namespace usertest {

// 0xRRGGBB as a colour reference.
inline gdi::COLORREF ColourRef(std::uint32_t rgb) {
    return gdi::RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

class CFillWnd : public user::CWnd {
public:
    std::uint32_t colour = 0xFF0000;  // 0xRRGGBB
    bool endPainting = true;
    bool fill = true;
    std::vector<RECT> painted;
    std::vector<bool> erase;

    void Fill(gdi::HDC dc) const {
        const gdi::HBRUSH brush = gdi::CreateSolidBrush(ColourRef(colour));
        const gdi::HGDIOBJ previous = gdi::SelectObject(dc, brush);
        // Far past any client area: the clip keeps it to the area to paint.
        gdi::PatBlt(dc, 0, 0, 40000, 40000, gdi::PATCOPY);
        gdi::SelectObject(dc, previous);
        gdi::DeleteObject(brush);
    }

protected:
    void OnPaint() override {
        user::PAINTSTRUCT paint;
        const gdi::HDC dc = user::BeginPaint(GetSafeHwnd(), &paint);
        painted.push_back(paint.rcPaint);
        erase.push_back(paint.fErase != FALSE);
        if (dc && fill) Fill(dc);
        if (endPainting) user::EndPaint(GetSafeHwnd(), &paint);
    }
};

}  // namespace usertest

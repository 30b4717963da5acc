#include "platform/gdi/surfaces.h"

#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

namespace internal {

HDC AddSurface(ObjectTable& table, DWORD type, std::unique_ptr<SurfaceObject> surface) {
    HBRUSH brush = static_cast<HBRUSH>(table.StockObject(WHITE_BRUSH));
    surface->brush = brush;
    return static_cast<HDC>(table.Add(type, std::move(surface)));
}

void DestroySurface(ObjectTable& table, HDC dc) {
    SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr) return;
    if (BitmapObject* bitmap = table.FindBitmap(surface->bitmap);
        bitmap != nullptr && !table.IsStock(surface->bitmap)) {
        bitmap->selectedInto = nullptr;
    }
    if (BrushObject* brush = table.FindBrush(surface->brush); brush != nullptr && !table.IsStock(surface->brush)) {
        --brush->selections;
    }
    table.Remove(dc);
}

}  // namespace internal

HDC CreateCompatibleDC(HDC dc) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    if (dc != nullptr && table.FindSurface(dc) == nullptr) return nullptr;
    try {
        auto surface = std::make_unique<SurfaceObject>();
        surface->kind = SurfaceKind::Memory;
        surface->bitmap = table.DefaultBitmap();
        return AddSurface(table, OBJ_MEMDC, std::move(surface));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

BOOL DeleteDC(HDC dc) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr || surface->kind == SurfaceKind::Screen) return FALSE;
    DestroySurface(table, dc);
    return TRUE;
}

namespace {

HGDIOBJ SelectBitmap(ObjectTable& table, HDC dc, SurfaceObject& surface, HGDIOBJ object) {
    if (surface.kind != SurfaceKind::Memory) return nullptr;
    BitmapObject* bitmap = table.FindBitmap(object);
    const bool stock = table.IsStock(object);
    if (object == surface.bitmap) return object;
    if (!stock && bitmap->selectedInto != nullptr) return nullptr;  // held by another surface
    HGDIOBJ previous = surface.bitmap;
    if (BitmapObject* old = table.FindBitmap(previous); old != nullptr && !table.IsStock(previous)) {
        old->selectedInto = nullptr;
    }
    if (!stock) bitmap->selectedInto = dc;
    surface.bitmap = static_cast<HBITMAP>(object);
    return previous;
}

HGDIOBJ SelectBrush(ObjectTable& table, SurfaceObject& surface, HGDIOBJ object) {
    HGDIOBJ previous = surface.brush;
    if (object == previous) return previous;
    if (BrushObject* old = table.FindBrush(previous); old != nullptr && !table.IsStock(previous)) {
        --old->selections;
    }
    if (!table.IsStock(object)) ++table.FindBrush(object)->selections;
    surface.brush = static_cast<HBRUSH>(object);
    return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    SurfaceObject* surface = table.FindSurface(dc);
    DWORD type = 0;
    if (surface == nullptr || table.Find(object, &type) == nullptr) return nullptr;
    switch (type) {
        case OBJ_BITMAP: return SelectBitmap(table, dc, *surface, object);
        case OBJ_BRUSH: return SelectBrush(table, *surface, object);
        case OBJ_REGION: {
            const int result = SelectClip(table, *surface, static_cast<HRGN>(object));
            return result == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(result));
        }
        default: return nullptr;
    }
}

int SetStretchBltMode(HDC dc, int mode) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int previous = surface->stretchMode;
    surface->stretchMode = mode;
    return previous;
}

namespace {

COLORREF SwapColor(HDC dc, COLORREF SurfaceObject::*field, const COLORREF* value) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr) return CLR_INVALID;
    const COLORREF previous = surface->*field;
    if (value != nullptr) {
        if ((*value & 0xFF000000u) != 0) return CLR_INVALID;  // palette colours are not kept
        surface->*field = *value;
    }
    return previous;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) { return SwapColor(dc, &SurfaceObject::textColor, &color); }
COLORREF GetTextColor(HDC dc) { return SwapColor(dc, &SurfaceObject::textColor, nullptr); }
COLORREF SetBkColor(HDC dc, COLORREF color) { return SwapColor(dc, &SurfaceObject::backgroundColor, &color); }

}  // namespace gdi

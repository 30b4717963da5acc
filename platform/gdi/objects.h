#pragma once
// Internal: the objects that handles stand for, and the table that issues
// and checks the handles. Every public operation takes the table's lock for
// its whole length, so objects never change or vanish under a caller.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/gdi/fonts.h"
#include "platform/handle_table.h"
#include "platform/gdi/records.h"
#include "platform/gdi/region32.h"

namespace gdi {
class ScreenBackend;
}

namespace gdi::internal {

struct Object {
    virtual ~Object() = default;
};

struct FreeDeleter {
    void operator()(BYTE* memory) const { std::free(memory); }
};

struct BitmapObject final : Object {
    LONG width = 0;
    LONG height = 0;  // a magnitude
    int bitsPerPixel = 0;
    LONG stride = 0;  // bytes per stored row
    bool isDibSection = false;
    bool bottomUp = false;
    BITMAPINFOHEADER header{};        // DIB sections: as created, with biSizeImage filled in
    DWORD masks[3]{};                 // BI_BITFIELDS only
    std::vector<RGBQUAD> colorTable;  // indexed DIB sections: 1 << bitsPerPixel entries
    std::unique_ptr<BYTE, FreeDeleter> pixels;
    HDC selectedInto = nullptr;  // not kept for the stock bitmap, which any surface may hold

    BYTE* TopRow() const {
        BYTE* start = pixels.get();
        return bottomUp ? start + static_cast<std::size_t>(height - 1) * stride : start;
    }
    LONG Pitch() const { return bottomUp ? -stride : stride; }
};

struct BrushObject final : Object {
    UINT style = BS_SOLID;
    COLORREF color = 0;
    // BS_PATTERN: one byte (0 or 1) per pattern pixel, row by row.
    LONG patternWidth = 0;
    LONG patternHeight = 0;
    std::vector<BYTE> pattern;
    HBITMAP patternSource = nullptr;
    long selections = 0;  // surfaces that hold it (stock brushes: not kept)
};

struct FontObject final : Object {
    LOGFONTA description{};
};

struct RegionObject final : Object {
    Region32 region;
};

enum class SurfaceKind {
    Memory,      // CreateCompatibleDC: draws into its selected bitmap
    OverMemory,  // CreateSurfaceOverMemory: draws into the caller's pixels
    Screen,      // GetDC(nullptr): draws on the screen back-end
};

struct SurfaceObject final : Object {
    SurfaceKind kind = SurfaceKind::Memory;
    HBITMAP bitmap = nullptr;  // Memory
    BYTE* memory = nullptr;    // OverMemory
    LONG memoryWidth = 0;
    LONG memoryHeight = 0;
    LONG memoryPitch = 0;
    POINT origin{0, 0};
    std::shared_ptr<ScreenBackend> screen;  // Screen
    HBRUSH brush = nullptr;
    std::optional<Region32> clip;  // none: the whole surface
    int stretchMode = BLACKONWHITE;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
};

// A 32-bit view of a surface's pixels in logical coordinates.
struct PixelView {
    BYTE* topRow = nullptr;
    LONG width = 0;
    LONG height = 0;
    LONG pitch = 0;
    POINT origin{0, 0};  // logical coordinates of pixel (0, 0)
};

class ObjectTable {
public:
    ObjectTable();
    ObjectTable(const ObjectTable&) = delete;
    ObjectTable& operator=(const ObjectTable&) = delete;

    std::mutex mutex;

    // A new handle for the object; null when out of memory.
    HGDIOBJ Add(DWORD type, std::unique_ptr<Object> object);
    // The object, if handle is live; its type and stock flag on request.
    Object* Find(HGDIOBJ handle, DWORD* type = nullptr, bool* stock = nullptr);
    // Frees the object; handle becomes stale.
    void Remove(HGDIOBJ handle);
    long LiveCount(DWORD type) const;

    BitmapObject* FindBitmap(HGDIOBJ handle);
    BrushObject* FindBrush(HGDIOBJ handle);
    RegionObject* FindRegion(HGDIOBJ handle);
    FontObject* FindFont(HGDIOBJ handle);
    SurfaceObject* FindSurface(HDC handle);

    HGDIOBJ StockObject(int index) const;
    HBITMAP DefaultBitmap() const { return defaultBitmap_; }
    bool IsStock(HGDIOBJ handle);

private:
    struct Entry {
        DWORD type = 0;
        bool stock = false;
        std::unique_ptr<Object> object;
    };
    HGDIOBJ AddEntry(DWORD type, bool stock, std::unique_ptr<Object> object);
    HGDIOBJ AddStock(DWORD type, std::unique_ptr<Object> object);

    platform::CHandleTable<HGDIOBJ, Entry> entries_;
    long live_[16] = {};
    HBRUSH whiteBrush_ = nullptr;
    HBRUSH blackBrush_ = nullptr;
    HBRUSH nullBrush_ = nullptr;
    HBITMAP defaultBitmap_ = nullptr;
};

// The process's one table. It is never destroyed, so surfaces held in
// static objects can still be deleted while the process ends.
ObjectTable& Objects();

// The surface's pixels when they are 32-bit (a 32-bit bitmap selected into a
// memory surface, or a surface over memory); nullopt otherwise.
std::optional<PixelView> SurfacePixels(ObjectTable& table, const SurfaceObject& surface);

// The surface's drawable area in logical coordinates (its pixels, or the
// screen's bounds).
RECT SurfaceBounds(ObjectTable& table, const SurfaceObject& surface);

// The region a drawing operation on rect may touch: rect within the
// surface's bounds and its clip. False when out of memory.
bool DrawableRegion(ObjectTable& table, const SurfaceObject& surface, const RECT& rect, Region32* out);

// Issues a handle of type OBJ_DC or OBJ_MEMDC for a new surface, with the
// white stock brush selected; null when out of memory.
HDC AddSurface(ObjectTable& table, DWORD type, std::unique_ptr<SurfaceObject> surface);
// Releases what the surface holds and frees it.
void DestroySurface(ObjectTable& table, HDC dc);
// SelectClipRgn with the table already locked.
int SelectClip(ObjectTable& table, SurfaceObject& surface, HRGN region);

}  // namespace gdi::internal

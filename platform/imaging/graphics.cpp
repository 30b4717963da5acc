#include "platform/imaging/graphics.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/imaging/image_object.h"
#include "platform/imaging/pixel_convert.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

// True when drawing in format can leave target pixels showing through.
bool MayBeTransparent(const Raster& raster) {
    if (IsAlphaPixelFormat(raster.Format())) return true;
    if (!IsIndexedPixelFormat(raster.Format())) return false;
    return std::any_of(raster.palette.begin(), raster.palette.end(), [](ARGB c) { return (c >> 24) != 0xFF; });
}

}  // namespace

Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (graphics == nullptr) return InvalidParameter;
    *graphics = nullptr;
    BitmapObject* bitmap = LiveBitmap(image);
    if (bitmap == nullptr || IsIndexedPixelFormat(bitmap->raster.Format())) return InvalidParameter;
    try {
        *graphics = AddGraphics(std::make_shared<GraphicsObject>(GraphicsObject{image}));
        return *graphics != nullptr ? Ok : OutOfMemory;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

Status GdipDeleteGraphics(GpGraphics* graphics) {
    if (!IsStarted()) return GdiplusNotInitialized;
    if (LiveGraphics(graphics) == nullptr) return InvalidParameter;
    RemoveGraphics(graphics);
    return Ok;
}

Status GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y) {
    if (!IsStarted()) return GdiplusNotInitialized;
    GraphicsObject* context = LiveGraphics(graphics);
    if (context == nullptr) return InvalidParameter;
    BitmapObject* target = LiveBitmap(context->target);
    BitmapObject* source = LiveBitmap(image);
    // The target may have been disposed of.
    if (target == nullptr || source == nullptr) return InvalidParameter;
    if (target->lock.active || source->lock.active) return WrongState;

    Raster& to = target->raster;
    const Raster& from = source->raster;
    long long left = std::max<long long>(x, 0);
    long long top = std::max<long long>(y, 0);
    long long right = std::min<long long>(static_cast<long long>(x) + from.Width(), to.Width());
    long long bottom = std::min<long long>(static_cast<long long>(y) + from.Height(), to.Height());
    if (left >= right || top >= bottom) return Ok;

    UINT width = static_cast<UINT>(right - left);
    UINT sourceX = static_cast<UINT>(left - x);
    bool blend = MayBeTransparent(from);
    try {
        std::vector<Pixel64> line(width);
        std::vector<Pixel64> under(blend ? width : 0);
        // Drawing a bitmap onto itself reads every row before any is written.
        std::unique_ptr<Raster> snapshot;
        const Raster* read = &from;
        if (source == target) {
            snapshot = std::make_unique<Raster>();
            if (Status s = Raster::Allocate(from.Width(), from.Height(), from.Format(), false, snapshot.get());
                s != Ok) {
                return s;
            }
            for (UINT row = 0; row < from.Height(); ++row) {
                std::memcpy(snapshot->Row(row), from.Row(row), PackedRowBytes(from.Width(), from.Format()));
            }
            snapshot->palette = from.palette;
            read = snapshot.get();
        }
        for (long long row = top; row < bottom; ++row) {
            const BYTE* in = read->Row(static_cast<UINT>(row - y));
            BYTE* out = to.Row(static_cast<UINT>(row));
            UnpackRow(in, sourceX, width, read->Format(), read->palette.data(), static_cast<UINT>(read->palette.size()),
                      line.data());
            if (blend) {
                UnpackRow(out, static_cast<UINT>(left), width, to.Format(), nullptr, 0, under.data());
                BlendOver(line.data(), width, under.data());
                PackRow(under.data(), width, to.Format(), out, static_cast<UINT>(left));
            } else {
                PackRow(line.data(), width, to.Format(), out, static_cast<UINT>(left));
            }
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return Ok;
}

}  // namespace gdiplus

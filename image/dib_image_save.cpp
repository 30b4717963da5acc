// Encoding the raster image into a file with the encoder its name's
// extension (or a file-format id) chooses.

#include "image/ansi_path.h"
#include "image/dib_image.h"
#include "image/encoder_search.h"
#include "image/gdip_bitmap_holder.h"
#include "image/imaging_runtime.h"
#include "image/saved_picture_items.h"
#include "image/small_buffer.h"
#include "platform/imaging/codec_info.h"
#include "platform/kernel/path_extension.h"
#include "platform/kernel/string_length.h"

using namespace gdiplus;

namespace {

// The library bitmap a save starts from: the DIB's own memory when its
// alpha must be kept, otherwise a copy made from the bitmap handle.
GdipBitmapHolder HandOver(const CDibImage& image) {
    if (image.hasAlpha) {
        return GdipBitmapHolder::FromScan0(image.width, image.height, image.pitch, PixelFormat32bppARGB, image.bits);
    }
    return GdipBitmapHolder::FromHbitmap(image.bitmap, nullptr);
}

}  // namespace

HRESULT CDibImage::SaveToFile(const char* path, const GUID& formatId) {
    if (!ImagingRuntime::Instance().EnsureStarted()) return E_FAIL;
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok) return E_FAIL;
    UINT codePage = AnsiPathCodePage();

    CSmallBuffer listBuffer;
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(listBuffer.Obtain(size));
    if (encoders == nullptr) return E_OUTOFMEMORY;
    if (GdipGetImageEncoders(count, size, encoders) != Ok) return E_FAIL;

    CLSID clsid = formatId == GUID_NULL ? FindEncoderByExtension(kernel::PathFindExtensionA(path), encoders, count)
                                        : FindEncoderByFormat(formatId, encoders, count);
    if (clsid == GUID_NULL) return E_FAIL;  // no file is touched

    int length = kernel::lstrlenA(path);
    CSmallBuffer pathBuffer;
    auto* widePath = reinterpret_cast<kernel::WCHAR*>(pathBuffer.Obtain(2 * (static_cast<size_t>(length) + 1)));
    if (widePath == nullptr) return E_OUTOFMEMORY;
    if (kernel::MultiByteToWideChar(codePage, 0, path, -1, widePath, length + 1) == 0) return E_OUTOFMEMORY;

    // A failed hand-over shows as a failed save; items that cannot be set
    // are left out of the file.
    GdipBitmapHolder holder = HandOver(*this);
    ItemsOfSavedPicture(propertyItems, width, height).WriteTo(holder.Image());
    Status saved = GdipSaveImageToFile(holder.Image(), widePath, &clsid, nullptr);
    return saved == Ok ? S_OK : E_FAIL;
}

void CDibImage::CopyPropertyItems(const CPropertyItemList& items) { propertyItems = items; }

#pragma once
// The raster image every picture of the system lives in: a DIB section,
// the description of its pixel layout, and a counted hold on a memory
// drawing surface through which it is drawn from and into.

#include "image/property_item_list.h"
#include "platform/gdi/records.h"
#include "platform/imaging/guid.h"
#include "platform/types.h"

class GdipBitmapHolder;

// CreateDib flag: the 32-bit pixels carry alpha that encoding must keep.
inline constexpr DWORD dibHasAlpha = 1;

class CDibImage {
public:
    enum class Orientation { topDown, bottomUp };

    // Empty, and registered with the imaging runtime for its whole life.
    CDibImage();
    // Frees the bitmap; the last image to go stops the imaging runtime.
    virtual ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // A new DIB section: height < 0 stores rows top-down, > 0 bottom-up;
    // masks (red, green, blue) are read only with BI_BITFIELDS; flags may
    // hold dibHasAlpha. The colour table starts black. False, the image
    // unchanged, when the image is not empty or no bitmap can be made.
    [[nodiscard]] bool CreateDib(LONG width, LONG height, int bitsPerPixel, DWORD compression, const DWORD* masks,
                                 DWORD flags);

    // Derives the description from the bitmap (see the fields below).
    void RefreshDescription(Orientation orientation);

    // Sets colour-table entries first .. first + count - 1 (those that exist).
    void WriteColorTable(UINT first, UINT count, const gdi::RGBQUAD* entries);

    // A memory surface with the bitmap selected, shared by nested holds;
    // null (and no hold taken) when no surface can be made. Every non-null
    // result is matched by one ReturnDc.
    gdi::HDC AcquireDc();
    // Ends one hold; the last one hands the surface back to the pool. A
    // ReturnDc without a hold does nothing.
    void ReturnDc();

    // Draws the source rectangle onto the parallelogram whose first three
    // corners are points[0..2] (images of its upper-left, upper-right and
    // lower-left corners), with the destination's stretch mode. The
    // platform's result; FALSE also when no surface can be made.
    BOOL DrawToParallelogram(gdi::HDC destination, const POINT* points, LONG srcX, LONG srcY, LONG srcWidth,
                             LONG srcHeight, gdi::HBITMAP mask, LONG maskX, LONG maskY);

    // Empties the image (its property items too) and deletes the bitmap:
    // the result of DeleteObject, or 0 when the image was already empty.
    BOOL FreeDib();

    // Decodes the file at path (in the ANSI code page) into this empty
    // image: S_OK, E_FAIL, or E_OUTOFMEMORY when the palette finds no
    // buffer. Throws std::bad_alloc or CHResultError when the path cannot
    // be widened (see CAnsiToWide).
    [[nodiscard]] HRESULT LoadFromFile(const char* path);
    // Fills this empty image from a decoded library bitmap, with the
    // bitmap's property items.
    HRESULT ImportDecodedBitmap(GdipBitmapHolder& holder);
    // Writes the image to path with the encoder that formatId names, or
    // with GUID_NULL the one its extension chooses: S_OK, E_FAIL (nothing
    // written when no encoder matches) or E_OUTOFMEMORY. The file gets the
    // image's property items as far as its format holds them, made true of
    // this picture (see ItemsOfSavedPicture).
    [[nodiscard]] HRESULT SaveToFile(const char* path, const gdiplus::GUID& formatId);

    // Gives the image these property items in place of its own, as the
    // save command hands a photo's items to the picture it saves.
    void CopyPropertyItems(const CPropertyItemList& items);

    // Only the image's own operations write these; others read them.
    gdi::HBITMAP bitmap = nullptr;  // the DIB section; null while empty
    BYTE* bits = nullptr;           // first byte of the top row
    LONG width = 0;
    LONG height = 0;  // a magnitude
    LONG pitch = 0;   // row to row below; negative bottom-up
    LONG bitsPerPixel = 0;
    bool isDibSection = false;  // the pixels are addressable through bits
    bool hasAlpha = false;
    LONG transparentIndex = -1;             // -1: none
    gdi::HDC memoryDc = nullptr;            // while acquired
    LONG dcRefCount = 0;                    // outstanding AcquireDc calls
    gdi::HGDIOBJ previousBitmap = nullptr;  // restored on the last ReturnDc
    // The metadata the picture came with (colour profile, EXIF, XMP) as the
    // imaging library's property items; empty for a picture made here.
    CPropertyItemList propertyItems;
};

#include "platform/user/resources.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/gdi/bitmaps.h"
#include "platform/user/application.h"
#include "platform/user/internal/picture_files.h"
#include "platform/user/internal/resource_store.h"
#include "platform/user/user_testing.h"

namespace user {
namespace internal {
namespace {

constexpr int maxMenuDepth = 16;
constexpr LONG maxImageSide = 256;

std::map<WORD, std::vector<MenuItemData>>& Menus() {
    static std::map<WORD, std::vector<MenuItemData>> menus;
    return menus;
}
std::map<WORD, CursorData>& Cursors() {
    static std::map<WORD, CursorData> cursors;
    return cursors;
}
std::map<WORD, IconData>& Icons() {
    static std::map<WORD, IconData> icons;
    return icons;
}
std::map<WORD, ImageData>& Bitmaps() {
    static std::map<WORD, ImageData> bitmaps;
    return bitmaps;
}
std::map<WORD, std::string>& Strings() {
    static std::map<WORD, std::string> strings;
    return strings;
}
std::map<WORD, DialogData>& Dialogs() {
    static std::map<WORD, DialogData> dialogs;
    return dialogs;
}

constexpr std::size_t maxDialogItems = 255;

bool CopyItems(std::span<const MenuItemResource> items, int depth, std::vector<MenuItemData>* out) {
    if (depth > maxMenuDepth) return false;
    for (const MenuItemResource& item : items) {
        MenuItemData data;
        data.flags = item.flags;
        data.id = item.id;
        if (item.flags & MF_SEPARATOR) {
            data.flags = MF_SEPARATOR;
        } else {
            if (!item.text) return false;
            data.text = item.text;
            if ((item.flags & MF_POPUP) && !CopyItems(item.popup, depth + 1, &data.popup)) return false;
        }
        out->push_back(std::move(data));
    }
    return true;
}

bool CopyImage(const ImageResource& image, ImageData* out) {
    if (image.width < 1 || image.height < 1 || image.width > maxImageSide || image.height > maxImageSide ||
        !image.argb) {
        return false;
    }
    out->width = image.width;
    out->height = image.height;
    out->bitsPerPixel = image.bitsPerPixel;
    out->argb.assign(image.argb, image.argb + static_cast<std::size_t>(image.width) * image.height);
    return true;
}

ImageData FromDecoded(DecodedPicture&& picture) {
    ImageData data;
    data.width = picture.width;
    data.height = picture.height;
    data.bitsPerPixel = picture.bitsPerPixel;
    data.argb = std::move(picture.argb);
    return data;
}

}  // namespace

const std::vector<MenuItemData>* FindMenuResource(WORD id) {
    const auto found = Menus().find(id);
    return found == Menus().end() ? nullptr : &found->second;
}

const CursorData* FindCursorResource(WORD id) {
    const auto found = Cursors().find(id);
    return found == Cursors().end() ? nullptr : &found->second;
}

const IconData* FindIconResource(WORD id) {
    const auto found = Icons().find(id);
    return found == Icons().end() ? nullptr : &found->second;
}

const DialogData* FindDialogResource(WORD id) {
    const auto found = Dialogs().find(id);
    return found == Dialogs().end() ? nullptr : &found->second;
}

const std::string* FindStringResource(WORD id) {
    const auto found = Strings().find(id);
    return found == Strings().end() ? nullptr : &found->second;
}

const ImageData* FindBitmapResource(WORD id) {
    const auto found = Bitmaps().find(id);
    return found == Bitmaps().end() ? nullptr : &found->second;
}

}  // namespace internal

bool RegisterMenuResource(WORD id, std::span<const MenuItemResource> items) {
    std::vector<internal::MenuItemData> copy;
    if (!internal::CopyItems(items, 0, &copy)) return false;
    internal::Menus()[id] = std::move(copy);
    return true;
}

bool RegisterCursorResource(WORD id, const CursorResource& cursor) {
    internal::CursorData copy;
    if (!internal::CopyImage(cursor.image, &copy.image)) return false;
    if (cursor.hotSpot.x < 0 || cursor.hotSpot.y < 0 || cursor.hotSpot.x >= copy.image.width ||
        cursor.hotSpot.y >= copy.image.height) {
        return false;
    }
    copy.hotSpot = cursor.hotSpot;
    internal::Cursors()[id] = std::move(copy);
    return true;
}

bool RegisterIconResource(WORD id, const IconResource& icon) {
    internal::IconData copy;
    if (icon.images.empty()) return false;
    for (const ImageResource& image : icon.images) {
        internal::ImageData data;
        if (!internal::CopyImage(image, &data)) return false;
        copy.images.push_back(std::move(data));
    }
    internal::Icons()[id] = std::move(copy);
    return true;
}

}  // namespace user

namespace user {

bool RegisterStringResource(WORD id, const char* text) {
    if (!text || !*text) return false;
    internal::Strings()[id] = text;
    return true;
}

bool RegisterDialogResource(WORD id, const DialogTemplate& dialog) {
    if (dialog.items.size() > internal::maxDialogItems) return false;
    internal::DialogData copy;
    copy.dialog = dialog;
    copy.dialog.items = {};
    copy.hasWindowClass = dialog.windowClass != nullptr;
    if (dialog.windowClass) copy.windowClass = dialog.windowClass;
    if (dialog.title) copy.title = dialog.title;
    if (dialog.typeface) copy.typeface = dialog.typeface;
    for (const DialogItemTemplate& item : dialog.items) {
        if (!item.className || !*item.className) return false;
        internal::DialogItemData data;
        data.item = item;
        data.className = item.className;
        if (item.text) data.text = item.text;
        copy.items.push_back(std::move(data));
    }
    // Names point into this copy's own strings, once it is in place.
    internal::DialogData& stored = internal::Dialogs()[id] = std::move(copy);
    stored.dialog.windowClass = stored.hasWindowClass ? stored.windowClass.c_str() : nullptr;
    stored.dialog.title = stored.title.c_str();
    stored.dialog.typeface = stored.typeface.c_str();
    for (internal::DialogItemData& item : stored.items) {
        item.item.className = item.className.c_str();
        item.item.text = item.text.c_str();
        stored.itemTemplates.push_back(item.item);
    }
    stored.dialog.items = stored.itemTemplates;
    return true;
}

HRSRC FindResourceA(HINSTANCE module, LPCSTR name, LPCSTR type) {
    if (module != GetModuleHandleA(nullptr) || type != RT_DIALOG || !name || !IS_INTRESOURCE(name)) return nullptr;
    const auto id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    // A token, not an address: the dialog's number, found again on loading.
    return internal::FindDialogResource(id) ? reinterpret_cast<HRSRC>(std::uintptr_t{0x10000} | id) : nullptr;
}

HGLOBAL LoadResource(HINSTANCE module, HRSRC resource) {
    if (module != GetModuleHandleA(nullptr)) return nullptr;
    const auto token = reinterpret_cast<std::uintptr_t>(resource);
    if ((token >> 16) != 1) return nullptr;
    const internal::DialogData* data = internal::FindDialogResource(static_cast<WORD>(token));
    return data ? const_cast<DialogTemplate*>(&data->dialog) : nullptr;
}

const void* LockResource(HGLOBAL data) { return data; }

bool RegisterIconFile(WORD id, std::span<const BYTE> file) {
    std::vector<internal::DecodedPicture> pictures;
    if (!internal::DecodeIconFile(file, false, &pictures)) return false;
    internal::IconData icon;
    for (internal::DecodedPicture& picture : pictures) icon.images.push_back(internal::FromDecoded(std::move(picture)));
    internal::Icons()[id] = std::move(icon);
    return true;
}

bool RegisterCursorFile(WORD id, std::span<const BYTE> file) {
    std::vector<internal::DecodedPicture> pictures;
    if (!internal::DecodeIconFile(file, true, &pictures)) return false;
    // A cursor file may hold several sizes; the pointer takes the first.
    internal::CursorData cursor;
    cursor.hotSpot = pictures.front().hotSpot;
    cursor.image = internal::FromDecoded(std::move(pictures.front()));
    internal::Cursors()[id] = std::move(cursor);
    return true;
}

bool RegisterBitmapFile(WORD id, std::span<const BYTE> file) {
    internal::DecodedPicture picture;
    if (!internal::DecodeBitmapFile(file, &picture)) return false;
    internal::Bitmaps()[id] = internal::FromDecoded(std::move(picture));
    return true;
}

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (instance != GetModuleHandleA(nullptr) || !buffer || size <= 0 || id > 0xFFFF) return 0;
    buffer[0] = '\0';
    const std::string* text = internal::FindStringResource(static_cast<WORD>(id));
    if (!text) return 0;
    const std::size_t length = std::min<std::size_t>(text->size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

gdi::HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    if (instance != GetModuleHandleA(nullptr) || !name || !IS_INTRESOURCE(name)) return nullptr;
    const internal::ImageData* image =
        internal::FindBitmapResource(static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)));
    if (!image) return nullptr;
    const int bits = image->bitsPerPixel == 24 ? 24 : 32;
    gdi::BITMAPINFO info{};
    info.bmiHeader = {sizeof(gdi::BITMAPINFOHEADER),
                      image->width,
                      -image->height,
                      1,
                      static_cast<WORD>(bits),
                      gdi::BI_RGB,
                      0,
                      0,
                      0,
                      0,
                      0};
    void* pixels = nullptr;
    const gdi::HBITMAP bitmap = gdi::CreateDIBSection(nullptr, &info, gdi::DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) return nullptr;
    const std::size_t stride = gdi::DibRowBytes(image->width, bits);
    auto* rows = static_cast<BYTE*>(pixels);
    for (LONG y = 0; y < image->height; ++y) {
        BYTE* out = rows + static_cast<std::size_t>(y) * stride;
        for (LONG x = 0; x < image->width; ++x) {
            const std::uint32_t pixel = image->argb[static_cast<std::size_t>(y) * image->width + x];
            BYTE* p = out + static_cast<std::size_t>(x) * (bits / 8);
            p[0] = static_cast<BYTE>(pixel);
            p[1] = static_cast<BYTE>(pixel >> 8);
            p[2] = static_cast<BYTE>(pixel >> 16);
            if (bits == 32) p[3] = 0;
        }
    }
    return bitmap;
}

std::vector<PictureInfo> DescribeIconResource(WORD id) {
    std::vector<PictureInfo> result;
    if (const internal::IconData* icon = internal::FindIconResource(id)) {
        for (const internal::ImageData& image : icon->images) {
            result.push_back(PictureInfo{image.width, image.height, image.bitsPerPixel, POINT{0, 0}});
        }
    }
    return result;
}

bool DescribeCursorResource(WORD id, PictureInfo* info) {
    const internal::CursorData* cursor = internal::FindCursorResource(id);
    if (!cursor || !info) return false;
    *info = PictureInfo{cursor->image.width, cursor->image.height, cursor->image.bitsPerPixel, cursor->hotSpot};
    return true;
}

}  // namespace user

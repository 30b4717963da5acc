#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/platform/gdi/live_objects.h"

namespace {

using namespace gdi;
using gditest::ExpectOneByOneMonochrome;
using gditest::LiveObjectsTest;

// A BITMAPINFO with room for a full colour table or three masks.
struct InfoBuffer {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};

    InfoBuffer(LONG width, LONG height, WORD depth, DWORD compression = BI_RGB) {
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = depth;
        header.biCompression = compression;
    }
    void SetMasks(DWORD red, DWORD green, DWORD blue) {
        const DWORD masks[3] = {red, green, blue};
        std::memcpy(colors, masks, sizeof masks);
    }
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

HBITMAP Create(InfoBuffer& buffer, void** bits = nullptr) {
    return CreateDIBSection(nullptr, buffer.info(), DIB_RGB_COLORS, bits, nullptr, 0);
}

class DibSection : public LiveObjectsTest {};

TEST_F(DibSection, RowsArePaddedTo32BitsAndDescribed) {
    struct Case {
        LONG width;
        WORD depth;
        LONG stride;
    };
    const Case cases[] = {{1, 24, 4}, {5, 1, 4}, {33, 1, 8}, {10, 32, 40}, {3, 4, 4},
                          {9, 4, 8},  {3, 8, 4}, {5, 8, 8},  {3, 16, 8},   {7, 24, 24}};
    for (const Case& c : cases) {
        for (LONG height : {3, -3}) {
            SCOPED_TRACE(testing::Message() << c.width << " x " << height << " x " << c.depth);
            InfoBuffer buffer(c.width, height, c.depth);
            void* bits = nullptr;
            HBITMAP bitmap = Create(buffer, &bits);
            ASSERT_NE(bitmap, nullptr);
            ASSERT_NE(bits, nullptr);
            DIBSECTION section{};
            ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), int{sizeof(DIBSECTION)});
            EXPECT_EQ(section.dsBm.bmWidth, c.width);
            EXPECT_EQ(section.dsBm.bmHeight, 3) << "a magnitude";
            EXPECT_EQ(section.dsBm.bmWidthBytes, c.stride);
            EXPECT_EQ(section.dsBm.bmPlanes, 1);
            EXPECT_EQ(section.dsBm.bmBitsPixel, c.depth);
            EXPECT_EQ(section.dsBm.bmBits, bits);
            EXPECT_EQ(section.dsBmih.biSize, 40u);
            EXPECT_EQ(section.dsBmih.biWidth, c.width);
            EXPECT_EQ(section.dsBmih.biHeight, height) << "keeps the row order";
            EXPECT_EQ(section.dsBmih.biBitCount, c.depth);
            EXPECT_EQ(section.dsBmih.biSizeImage, DWORD(c.stride * 3));
            // Zeroed and writable to the last byte.
            const auto* bytes = static_cast<BYTE*>(bits);
            EXPECT_EQ(std::count(bytes, bytes + c.stride * 3, 0), c.stride * 3);
            std::memset(bits, 0xAB, c.stride * 3);
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    }
}

TEST_F(DibSection, DescriptionSizeFollowsTheBuffer) {
    InfoBuffer buffer(4, 4, 32);
    HBITMAP dib = Create(buffer);
    const BYTE rows[16] = {};
    HBITMAP plain = CreateBitmap(8, 8, 1, 1, rows);
    ASSERT_TRUE(dib && plain);

    EXPECT_EQ(GetObjectA(dib, 0, nullptr), int{sizeof(DIBSECTION)});
    BITMAP small{};
    EXPECT_EQ(GetObjectA(dib, sizeof small, &small), int{sizeof(BITMAP)});
    EXPECT_NE(small.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(dib, sizeof small - 1, &small), 0) << "too small";

    // A plain bitmap fills only a BITMAP, even given room for more, and has
    // no pixel pointer to hand out.
    DIBSECTION section{};
    std::memset(&section, 0x5A, sizeof section);
    EXPECT_EQ(GetObjectA(plain, sizeof section, &section), int{sizeof(BITMAP)});
    EXPECT_EQ(section.dsBm.bmWidth, 8);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 2) << "plain bitmaps pad rows to 16 bits";
    EXPECT_EQ(section.dsBm.bmBitsPixel, 1);
    EXPECT_EQ(section.dsBm.bmBits, nullptr);
    EXPECT_EQ(section.dsBmih.biSize, 0x5A5A5A5Au) << "untouched past the BITMAP";

    EXPECT_TRUE(DeleteObject(dib));
    EXPECT_TRUE(DeleteObject(plain));
}

TEST_F(DibSection, BitFieldMasksAreKeptAndChecked) {
    struct Case {
        WORD depth;
        DWORD red, green, blue;
        bool valid;
    };
    const Case cases[] = {
        {16, 0xF800, 0x07E0, 0x001F, true},                                                // 5-6-5
        {16, 0x7C00, 0x03E0, 0x001F, true},                                                // 5-5-5
        {32, 0xFF0000, 0xFF00, 0xFF, true},    {32, 0x3FF00000, 0x000FFC00, 0x3FF, true},  // 10-10-10
        {16, 0, 0x07E0, 0x001F, false},                                                    // empty mask
        {16, 0xF800, 0xF800, 0x001F, false},                                               // overlapping
        {16, 0xF00F, 0x07E0, 0x0010, false},                                               // not one run of bits
        {16, 0x1F0000, 0x07E0, 0x001F, false},                                             // beyond 16 bits
        {24, 0xFF0000, 0xFF00, 0xFF, false},                                               // no bit fields at 24 bits
        {8, 0xE0, 0x1C, 0x03, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits " << std::hex << c.red << " " << c.green << " " << c.blue);
        InfoBuffer buffer(2, 2, c.depth, BI_BITFIELDS);
        buffer.SetMasks(c.red, c.green, c.blue);
        HBITMAP bitmap = Create(buffer);
        ASSERT_EQ(bitmap != nullptr, c.valid);
        if (bitmap == nullptr) continue;
        DIBSECTION section{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), int{sizeof section});
        EXPECT_EQ(section.dsBmih.biCompression, BI_BITFIELDS);
        EXPECT_EQ(section.dsBitfields[0], c.red);
        EXPECT_EQ(section.dsBitfields[1], c.green);
        EXPECT_EQ(section.dsBitfields[2], c.blue);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST_F(DibSection, InvalidRequestsMakeNothing) {
    struct Case {
        const char* name;
        void (*spoil)(InfoBuffer&, UINT& usage, HANDLE& section);
    };
    static int mapping;
    const Case cases[] = {
        {"zero width", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biWidth = 0; }},
        {"negative width", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biWidth = -4; }},
        {"zero height", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biHeight = 0; }},
        {"two planes", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biPlanes = 2; }},
        {"2 bits", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biBitCount = 2; }},
        {"64 bits", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biBitCount = 64; }},
        {"run-length", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biCompression = BI_RLE8; }},
        {"short header", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biSize = 12; }},
        {"palette colours", [](InfoBuffer&, UINT& usage, HANDLE&) { usage = DIB_PAL_COLORS; }},
        {"file mapping", [](InfoBuffer&, UINT&, HANDLE& section) { section = &mapping; }},
        {"2 GiB of pixels", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biWidth = b.header.biHeight = 46341; }},
        {"row too long", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biWidth = 0x7FFFFFFF; }},
        {"most negative height", [](InfoBuffer& b, UINT&, HANDLE&) { b.header.biHeight = INT32_MIN; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InfoBuffer buffer(4, 4, 8);
        UINT usage = DIB_RGB_COLORS;
        HANDLE section = nullptr;
        c.spoil(buffer, usage, section);
        void* bits = &mapping;
        EXPECT_EQ(CreateDIBSection(nullptr, buffer.info(), usage, &bits, section, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST_F(DibSection, ColorTableComesFromTheHeaderAndTheSetter) {
    InfoBuffer buffer(4, 4, 4);
    buffer.header.biClrUsed = 2;
    buffer.colors[0] = RGBQUAD{1, 2, 3, 0};
    buffer.colors[1] = RGBQUAD{4, 5, 6, 0};
    buffer.colors[2] = RGBQUAD{7, 8, 9, 0};  // beyond biClrUsed: ignored
    HBITMAP bitmap = Create(buffer);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(bitmap && dc);
    HGDIOBJ previous = SelectObject(dc, bitmap);

    RGBQUAD table[16];
    std::memset(table, 0xEE, sizeof table);
    ASSERT_EQ(GetDIBColorTable(dc, 0, 20, table), 16u) << "clamped to the depth's 16 entries";
    EXPECT_EQ(table[0].rgbRed, 3);
    EXPECT_EQ(table[1].rgbBlue, 4);
    EXPECT_EQ(table[2].rgbBlue, 0) << "unset entries are black";
    EXPECT_EQ(table[15].rgbGreen, 0);

    const RGBQUAD colors[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    EXPECT_EQ(SetDIBColorTable(dc, 14, 3, colors), 2u) << "only entries 14 and 15 exist";
    EXPECT_EQ(SetDIBColorTable(dc, 16, 1, colors), 0u);
    EXPECT_EQ(SetDIBColorTable(dc, 0, 1, nullptr), 0u);
    ASSERT_EQ(GetDIBColorTable(dc, 14, 2, table), 2u);
    EXPECT_EQ(table[0].rgbRed, 30);
    EXPECT_EQ(table[1].rgbGreen, 50);

    SelectObject(dc, previous);
    EXPECT_EQ(SetDIBColorTable(dc, 0, 1, colors), 0u) << "the stock bitmap has no table";
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(DibSection, DirectColourSectionsHaveNoColourTable) {
    InfoBuffer buffer(4, 4, 24);
    HBITMAP bitmap = Create(buffer);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const RGBQUAD color{1, 1, 1, 0};
    EXPECT_EQ(SetDIBColorTable(dc, 0, 1, &color), 0u);
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));
}

class PlainBitmap : public LiveObjectsTest {};

TEST_F(PlainBitmap, KeepsItsRowsAndRefusesBadSizes) {
    const BYTE rows[16] = {0x55, 0, 0xAA, 0};
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(LiveObjectCount(OBJ_BITMAP), 1);
    EXPECT_TRUE(DeleteObject(bitmap));

    EXPECT_EQ(CreateBitmap(-1, 8, 1, 1, rows), nullptr);
    EXPECT_EQ(CreateBitmap(8, 8, 2, 1, rows), nullptr);
    EXPECT_EQ(CreateBitmap(8, 8, 1, 3, rows), nullptr);
    HBITMAP colour = CreateBitmap(8, 8, 1, 32, nullptr);
    EXPECT_NE(colour, nullptr) << "null rows: zeroed";
    EXPECT_TRUE(DeleteObject(colour));

    // A zero size gives the permanent 1 x 1 monochrome bitmap.
    HBITMAP empty = CreateBitmap(0, 5, 1, 1, nullptr);
    ASSERT_NE(empty, nullptr);
    ExpectOneByOneMonochrome(empty);
    EXPECT_EQ(LiveObjectCount(OBJ_BITMAP), 0);
    EXPECT_TRUE(DeleteObject(empty));
    EXPECT_EQ(GetObjectType(empty), OBJ_BITMAP);
}

}  // namespace

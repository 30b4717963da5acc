// Picture files as the resources are built from them: well-formed files
// register, anything malformed or truncated is refused without reading
// past the bytes given.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/resources.h"
#include "platform/user/application.h"
#include "platform/user/user_testing.h"
#include "tests/support/print_types.h"

namespace {

using namespace user;
using Bytes = std::vector<BYTE>;

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}
void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

Bytes InfoHeader(std::int32_t width, std::int32_t height, unsigned bits, std::uint32_t colours = 0) {
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);  // BI_RGB
    for (int i = 0; i < 3; ++i) Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
    return out;
}

// A 2 x 2 4-bit icon (or cursor): palette black, red; rows bottom-up; the
// mask makes the lower-left pixel transparent.
Bytes IconFile(bool cursor = false, std::uint32_t entryCount = 1) {
    Bytes picture = InfoHeader(2, 4, 4, 2);
    Put32(picture, 0x00000000);
    Put32(picture, 0x00FF0000);
    const BYTE rows[] = {0x10, 0, 0, 0,   // bottom row: red, black
                         0x01, 0, 0, 0,   // top row: black, red
                         0x80, 0, 0, 0,   // mask, bottom row: first pixel transparent
                         0x00, 0, 0, 0};  // mask, top row
    picture.insert(picture.end(), rows, rows + sizeof rows);
    Bytes file;
    Put16(file, 0);
    Put16(file, cursor ? 2 : 1);
    Put16(file, entryCount);
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        file.push_back(2);
        file.push_back(2);
        file.push_back(2);
        file.push_back(0);
        Put16(file, cursor ? 1 : 1);  // planes, or hot spot x
        Put16(file, cursor ? 0 : 4);  // depth, or hot spot y
        Put32(file, static_cast<std::uint32_t>(picture.size()));
        Put32(file, static_cast<std::uint32_t>(6 + 16 * entryCount));
    }
    file.insert(file.end(), picture.begin(), picture.end());
    return file;
}

// A 3 x 2 24-bit bitmap file, bottom-up.
Bytes BitmapFile() {
    Bytes info = InfoHeader(3, 2, 24);
    Bytes file{'B', 'M'};
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 14 + 40);
    file.insert(file.end(), info.begin(), info.end());
    const BYTE bottom[12] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0};     // red, green, blue
    const BYTE top[12] = {255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};  // white, black, grey
    file.insert(file.end(), bottom, bottom + 12);
    file.insert(file.end(), top, top + 12);
    return file;
}

TEST(PictureFiles, WellFormedFilesRegister) {
    ASSERT_TRUE(RegisterIconFile(900, IconFile()));
    const auto icon = DescribeIconResource(900);
    ASSERT_EQ(icon.size(), 1u);
    EXPECT_EQ(icon[0].width, 2);
    EXPECT_EQ(icon[0].height, 2);
    EXPECT_EQ(icon[0].bitsPerPixel, 4);

    ASSERT_TRUE(RegisterCursorFile(901, IconFile(true)));
    PictureInfo cursor;
    ASSERT_TRUE(DescribeCursorResource(901, &cursor));
    EXPECT_EQ(cursor.hotSpot, (POINT{1, 0}));

    ASSERT_TRUE(RegisterBitmapFile(902, BitmapFile()));
    const gdi::HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(902));
    ASSERT_NE(bitmap, nullptr);
    gdi::BITMAP description{};
    ASSERT_NE(gdi::GetObjectA(bitmap, sizeof description, &description), 0);
    EXPECT_EQ(description.bmBitsPixel, 24);
    // The DIB comes back bottom-up like the file: its first row is the
    // file's first (bottom) row, top row first in the picture.
    const auto* rows = static_cast<const BYTE*>(description.bmBits);
    const auto pixel = [&](int x, int y) {
        const BYTE* p = rows + y * description.bmWidthBytes + x * 3;
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    };
    EXPECT_EQ(pixel(0, 0), 0xFFFFFFu) << "top row first, white";
    EXPECT_EQ(pixel(2, 0), 0x808080u);
    EXPECT_EQ(pixel(0, 1), 0xFF0000u) << "bottom row, red";
    EXPECT_EQ(pixel(2, 1), 0x0000FFu);
    EXPECT_TRUE(gdi::DeleteObject(bitmap));
}

TEST(PictureFiles, MalformedIconsAreRefused) {
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    Bytes wrongType = IconFile();
    wrongType[2] = 2;
    cases.push_back({"a cursor read as an icon", wrongType});
    cases.push_back({"no pictures", IconFile(false, 0)});
    Bytes truncated = IconFile();
    truncated.resize(truncated.size() - 1);
    cases.push_back({"mask cut short", truncated});
    Bytes farOffset = IconFile();
    farOffset[18] = 0xFF;
    farOffset[19] = 0xFF;
    cases.push_back({"picture offset past the end", farOffset});
    Bytes hugeSize = IconFile();
    hugeSize[14] = 0xFF;
    hugeSize[15] = 0xFF;
    hugeSize[16] = 0xFF;
    hugeSize[17] = 0xFF;
    cases.push_back({"picture size past the end", hugeSize});
    Bytes oddHeight = IconFile();
    oddHeight[22 + 8] = 3;
    cases.push_back({"height not doubled for the mask", oddHeight});
    Bytes wide = IconFile();
    wide[22 + 4] = 0x01;
    wide[22 + 5] = 0x10;
    cases.push_back({"wider than any resource", wide});
    Bytes compressed = IconFile();
    compressed[22 + 16] = 2;
    cases.push_back({"run-length compressed", compressed});
    Bytes fiveBits = IconFile();
    fiveBits[22 + 14] = 5;
    cases.push_back({"five bits per pixel", fiveBits});
    Bytes manyColours = IconFile();
    manyColours[22 + 32] = 17;
    cases.push_back({"more palette entries than the depth has", manyColours});
    Bytes missingColour = IconFile();
    missingColour[22 + 40 + 8 + 4] = 0x03;  // index 3 with two palette entries
    cases.push_back({"pixel beyond the palette", missingColour});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(RegisterIconFile(903, c.file));
        EXPECT_TRUE(DescribeIconResource(903).empty()) << "nothing registered";
    }
    Bytes hotSpotOutside = IconFile(true);
    hotSpotOutside[10] = 2;
    EXPECT_FALSE(RegisterCursorFile(904, hotSpotOutside)) << "hot spot outside the picture";
}

TEST(PictureFiles, MalformedBitmapsAreRefused) {
    Bytes notBitmap = BitmapFile();
    notBitmap[0] = 'X';
    Bytes pixelsBeforeHeader = BitmapFile();
    pixelsBeforeHeader[10] = 20;
    Bytes shortRows = BitmapFile();
    shortRows.resize(shortRows.size() - 4);
    Bytes zeroWidth = BitmapFile();
    zeroWidth[18] = 0;
    Bytes minimumHeight = BitmapFile();
    minimumHeight[22] = 0;
    minimumHeight[23] = 0;
    minimumHeight[24] = 0;
    minimumHeight[25] = 0x80;
    for (const Bytes& file : {notBitmap, pixelsBeforeHeader, shortRows, zeroWidth, minimumHeight}) {
        EXPECT_FALSE(RegisterBitmapFile(905, file));
    }
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(905)), nullptr);
}

}  // namespace

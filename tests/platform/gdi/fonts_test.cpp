// Logical fonts keep the description they were created from; alpha
// blending composes premultiplied pixels over a surface.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/platform/gdi/dib_surface.h"
#include "tests/platform/gdi/live_objects.h"
#include "tests/support/print_types.h"

namespace {

using namespace gdi;
using gditest::LiveObjectsTest;
using Surface = gditest::CDibSurface;

LOGFONTA DialogFont() {
    LOGFONTA font{};
    font.lfHeight = -12;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "MS UI Gothic");
    return font;
}

class Fonts : public LiveObjectsTest {};

TEST_F(Fonts, DescriptionComesBackAsCreated) {
    const LOGFONTA asked = DialogFont();
    const HFONT font = CreateFontIndirectA(&asked);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectType(font), OBJ_FONT);
    EXPECT_EQ(LiveObjectCount(OBJ_FONT), 1);
    EXPECT_EQ(GetObjectA(font, 0, nullptr), 60);

    LOGFONTA read{};
    ASSERT_EQ(GetObjectA(font, sizeof read, &read), 60);
    EXPECT_EQ(std::memcmp(&read, &asked, sizeof read), 0);

    // An underlined copy is a font of its own; the first is unchanged.
    read.lfUnderline = 1;
    const HFONT underlined = CreateFontIndirectA(&read);
    ASSERT_NE(underlined, nullptr);
    EXPECT_NE(underlined, font);
    LOGFONTA again{};
    ASSERT_EQ(GetObjectA(underlined, sizeof again, &again), 60);
    EXPECT_EQ(again.lfUnderline, 1);
    EXPECT_STREQ(again.lfFaceName, "MS UI Gothic");
    ASSERT_EQ(GetObjectA(font, sizeof again, &again), 60);
    EXPECT_EQ(again.lfUnderline, 0);

    EXPECT_TRUE(DeleteObject(underlined));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font)) << "a deleted font is gone";
    EXPECT_EQ(GetObjectA(font, sizeof again, &again), 0);
}

TEST_F(Fonts, MalformedDescriptionsAndBuffersAreRefused) {
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
    LOGFONTA heavy = DialogFont();
    heavy.lfWeight = 1001;
    EXPECT_EQ(CreateFontIndirectA(&heavy), nullptr);
    LOGFONTA unterminated = DialogFont();
    std::memset(unterminated.lfFaceName, 'A', sizeof unterminated.lfFaceName);
    EXPECT_EQ(CreateFontIndirectA(&unterminated), nullptr);

    const LOGFONTA asked = DialogFont();
    const HFONT font = CreateFontIndirectA(&asked);
    LOGFONTA small{};
    EXPECT_EQ(GetObjectA(font, 59, &small), 0) << "too small a buffer";
    EXPECT_TRUE(DeleteObject(font));
}

class AlphaBlending : public LiveObjectsTest {};

TEST_F(AlphaBlending, PremultipliedPixelsComposeOverTheDestination) {
    Surface target(4, 1, 32, false);
    Surface icon(4, 1, 32, false);
    for (LONG x = 0; x < 4; ++x) target.Pixel32(x, 0) = 0x00FFFFFF;  // white
    icon.Pixel32(0, 0) = 0x00000000;                                 // transparent
    icon.Pixel32(1, 0) = 0xFF0000FF;                                 // opaque blue
    icon.Pixel32(2, 0) = 0x80000080;                                 // half-covering blue, premultiplied
    icon.Pixel32(3, 0) = 0xFF00FF00;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(target.dc, 0, 0, 4, 1, icon.dc, 0, 0, 4, 1, blend));
    EXPECT_EQ(target.Pixel32(0, 0) & 0xFFFFFF, 0xFFFFFFu) << "transparent pixels leave the destination";
    EXPECT_EQ(target.Pixel32(1, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(target.Pixel32(2, 0) & 0xFFFFFF, 0x7F7FFFu);
    EXPECT_EQ(target.Pixel32(3, 0) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(AlphaBlending, RefusesWhatItCannotDo) {
    Surface target(4, 4, 32, false);
    Surface icon(2, 2, 32, false);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(AlphaBlend(target.dc, 0, 0, 4, 4, icon.dc, 0, 0, 2, 2, blend)) << "no stretching";
    EXPECT_FALSE(AlphaBlend(target.dc, 0, 0, 2, 2, icon.dc, 1, 1, 2, 2, blend)) << "outside the source";
    EXPECT_FALSE(AlphaBlend(target.dc, 0, 0, 2, 2, nullptr, 0, 0, 2, 2, blend));
    EXPECT_FALSE(AlphaBlend(target.dc, 0, 0, 2, 2, icon.dc, 0, 0, 2, 2, BLENDFUNCTION{1, 0, 255, 0}));
    // Clipped to the destination's bounds: drawing half outside is fine.
    EXPECT_TRUE(AlphaBlend(target.dc, 3, 3, 2, 2, icon.dc, 0, 0, 2, 2, blend));
    EXPECT_FALSE(AlphaBlend(target.dc, INT32_MAX - 1, 0, 2, 2, icon.dc, 0, 0, 2, 2, blend)) << "past the coordinates";
}

}  // namespace

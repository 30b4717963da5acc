#include "platform/kernel/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/last_error.h"
#include "platform/kernel/path_extension.h"
#include "platform/kernel/string_length.h"
#include "tests/platform/kernel/locale_environment.h"

namespace {

using namespace kernel;

std::u16string Widen(UINT codePage, const std::string& bytes, DWORD flags = 0) {
    int needed = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (needed == 0) return u"<failed>";
    std::u16string wide(static_cast<size_t>(needed), u'\0');
    int written =
        MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(), needed);
    EXPECT_EQ(written, needed);
    return wide;
}

std::string Narrow(UINT codePage, const std::u16string& wide) {
    int needed =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (needed == 0) return "<failed>";
    std::string bytes(static_cast<size_t>(needed), '\0');
    EXPECT_EQ(WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), needed,
                                  nullptr, nullptr),
              needed);
    return bytes;
}

struct ConversionCase {
    const char* name;
    UINT codePage;
    std::string bytes;
    std::u16string wide;
    bool valid;  // false: some byte is escaped
};

class Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, WidensAndRoundTripsByteForByte) {
    const ConversionCase& c = GetParam();
    EXPECT_EQ(Widen(c.codePage, c.bytes), c.wide);
    EXPECT_EQ(Narrow(c.codePage, c.wide), c.bytes);

    SetLastError(0);
    int strict = MultiByteToWideChar(c.codePage, MB_ERR_INVALID_CHARS, c.bytes.data(), static_cast<int>(c.bytes.size()),
                                     nullptr, 0);
    if (c.valid) {
        EXPECT_EQ(strict, static_cast<int>(c.wide.size()));
    } else {
        EXPECT_EQ(strict, 0);
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Conversion,
    ::testing::Values(ConversionCase{"Ascii", CP_UTF8, "photo.jpg", u"photo.jpg", true},
                      ConversionCase{"Utf8Japanese", CP_UTF8, "\xE5\x86\x99\xE7\x9C\x9F.jpg", u"\u5199\u771F.jpg",
                                     true},
                      ConversionCase{"Utf8OutsideBmp", CP_UTF8, "\xF0\x9F\x93\xB7", u"\U0001F4F7", true},
                      ConversionCase{"Utf8StrayBytes", CP_UTF8, "a\xFF\xFE.jpg", u"a\xDCFF\xDCFE.jpg", false},
                      ConversionCase{"Utf8Overlong", CP_UTF8, "\xC0\xAF", u"\xDCC0\xDCAF", false},
                      ConversionCase{"Utf8EncodedSurrogate", CP_UTF8, "\xED\xB2\x80", u"\xDCED\xDCB2\xDC80", false},
                      ConversionCase{"Utf8CutOff", CP_UTF8, "x\xE5\x86", u"x\xDCE5\xDC86", false},
                      ConversionCase{"ShiftJis", 932, "\x8E\xCA\x90\x5E.jpg", u"\u5199\u771F.jpg", true},
                      ConversionCase{"ShiftJisHalfWidthKana", 932, "\xB1", u"\uFF71", true},
                      ConversionCase{"ShiftJisLoneLeadByte", 932, "a\x81", u"a\xDC81", false},
                      ConversionCase{"ShiftJisInvalidByte", 932, "\xA0z", u"\xDCA0z", false},
                      ConversionCase{"EucJp", 20932, "\xBC\xCC\xBF\xBF", u"\u5199\u771F", true},
                      ConversionCase{"Latin1", 28591, "caf\xE9", u"caf\u00E9", true},
                      ConversionCase{"Windows1252Hole", 1252, "\x81", u"\xDC81", false}),
    [](const auto& info) { return info.param.name; });

TEST(MultiByteToWideChar, CountsTheTerminatorAndChecksTheBuffer) {
    const char* path = "\xE5\x86\x99.png";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0), 6);

    char16_t wide[6];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, 6), 6);
    EXPECT_EQ(std::u16string(wide), u"\u5199.png");

    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, 5), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 6), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, path, -1, wide, 6), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0x4000, path, -1, wide, 6), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

TEST(MultiByteToWideChar, ReadsTheLocaleCodePageForAnsiAndThreadText) {
    ScopedLocaleEnvironment environment("ja_JP.SJIS");
    EXPECT_EQ(Widen(CP_ACP, "\x8E\xCA"), u"\u5199");
    EXPECT_EQ(Widen(CP_THREAD_ACP, "\x8E\xCA"), u"\u5199");
    EXPECT_EQ(Narrow(CP_THREAD_ACP, u"\u5199\xDCFF"), "\x8E\xCA\xFF");
}

TEST(WideCharToMultiByte, RefusesWhatNoByteStandsFor) {
    struct Case {
        UINT codePage;
        std::u16string wide;
    };
    for (const Case& c : {Case{932, u"caf\u00E9"},      // no e-acute in Shift_JIS
                          Case{28591, u"\u5199"},       // no kanji in Latin-1
                          Case{CP_UTF8, u"a\xD800"},    // lone high surrogate
                          Case{CP_UTF8, u"\xDE00"}}) {  // low surrogate beyond the escapes
        SetLastError(0);
        EXPECT_EQ(WideCharToMultiByte(c.codePage, 0, c.wide.data(), static_cast<int>(c.wide.size()), nullptr, 0,
                                      nullptr, nullptr),
                  0);
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    }
}

TEST(lstrlenA, CountsBytesBeforeTheTerminator) {
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA("\xE5\x86\x99.jpg"), 7);
}

TEST(PathFindExtension, FindsTheLastDotOfTheLastComponent) {
    struct Case {
        const char* path;
        const char* extension;
    };
    for (const Case& c : {Case{"photo.jpg", ".jpg"}, Case{"/a/b/a.b.png", ".png"}, Case{"/dir.d/file", ""},
                          Case{"noext", ""}, Case{"trailing.", "."}, Case{".hidden", ".hidden"}, Case{"", ""},
                          Case{"/dir/", ""}, Case{"*.JPEG", ".JPEG"}}) {
        SCOPED_TRACE(c.path);
        EXPECT_STREQ(PathFindExtensionA(c.path), c.extension);
        EXPECT_EQ(PathFindExtensionA(c.path), c.path + std::string(c.path).size() - std::string(c.extension).size());

        std::u16string wide(c.path, c.path + std::string(c.path).size());
        std::u16string expected(c.extension, c.extension + std::string(c.extension).size());
        EXPECT_EQ(std::u16string(PathFindExtensionW(wide.c_str())), expected);
    }
    EXPECT_EQ(PathFindExtensionA(nullptr), nullptr);
    EXPECT_EQ(PathFindExtensionW(nullptr), nullptr);
}

}  // namespace

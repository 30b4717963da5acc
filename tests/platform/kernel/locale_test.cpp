#include "platform/kernel/locale.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/last_error.h"
#include "platform/kernel/version.h"
#include "tests/platform/kernel/locale_environment.h"

namespace {

using namespace kernel;

struct LocaleCase {
    const char* lcAll;
    const char* lang;
    UINT codePage;
    LCID locale;
};

class LocaleCodePage : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleCodePage, FollowsTheEnvironment) {
    const LocaleCase& c = GetParam();
    ScopedLocaleEnvironment environment(c.lcAll, c.lang);
    EXPECT_EQ(GetACP(), c.codePage);
    EXPECT_EQ(GetThreadLocale(), c.locale);

    char text[7] = "xxxxxx";
    int written = GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, 7);
    std::string expected = std::to_string(c.codePage);
    EXPECT_EQ(written, static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(std::string(text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, LocaleCodePage,
    ::testing::Values(LocaleCase{"ja_JP.UTF-8", nullptr, 65001, 0x0411}, LocaleCase{"ja_JP.SJIS", nullptr, 932, 0x0411},
                      LocaleCase{"ja_JP.Shift_JIS", nullptr, 932, 0x0411},
                      LocaleCase{"ja_JP.eucJP", nullptr, 20932, 0x0411}, LocaleCase{"zh_CN.GBK", nullptr, 936, 0x0804},
                      LocaleCase{"zh_TW.Big5", nullptr, 950, 0x0404}, LocaleCase{"ko_KR.EUC-KR", nullptr, 949, 0x0412},
                      LocaleCase{"ru_RU.KOI8-R", nullptr, 20866, 0x0419},
                      LocaleCase{"de_DE.ISO-8859-15@euro", nullptr, 28605, 0x0407},
                      LocaleCase{"en_GB.utf8", nullptr, 65001, 0x0809},
                      // LANG applies when LC_ALL is unset
                      LocaleCase{nullptr, "fr_FR.CP1252", 1252, 0x040C}, LocaleCase{"C", nullptr, 65001, 0x0409},
                      LocaleCase{"POSIX", nullptr, 65001, 0x0409}, LocaleCase{"C.UTF-8", nullptr, 65001, 0x0409},
                      LocaleCase{nullptr, nullptr, 65001, 0x0409},
                      // a character set this system cannot read falls back to UTF-8
                      LocaleCase{"xx_YY.NOSUCHSET", nullptr, 65001, 0x0409}));

TEST(GetLocaleInfoA, AnswersOtherLocalesWithTheirWindowsCodePage) {
    ScopedLocaleEnvironment environment("C.UTF-8");
    char text[7];
    ASSERT_EQ(GetLocaleInfoA(0x0411, LOCALE_IDEFAULTANSICODEPAGE, text, 7), 4);
    EXPECT_STREQ(text, "932");
    ASSERT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, text, 7), 6);
    EXPECT_STREQ(text, "65001");
}

TEST(GetLocaleInfoA, ReportsSizeAndRefusesBadRequests) {
    ScopedLocaleEnvironment environment("ja_JP.UTF-8");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, nullptr, 0), 6);

    char small[5] = "abcd";
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, small, 5), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    char text[7];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x0002 /* LOCALE_SLANGUAGE */, text, 7), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    EXPECT_EQ(GetLocaleInfoA(0x7777, LOCALE_IDEFAULTANSICODEPAGE, text, 7), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, nullptr, 7), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(GetVersionExA, ReportsAnNtPlatformOfVersionFiveOrLater) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(GetVersionExA(&info), TRUE);
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(info.dwMajorVersion, 5u);

    info.dwOSVersionInfoSize = 100;
    SetLastError(0);
    EXPECT_EQ(GetVersionExA(&info), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetVersionExA(nullptr), FALSE);
}

}  // namespace

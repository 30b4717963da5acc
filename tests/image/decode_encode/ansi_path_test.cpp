// The code-page rule, the path converter and its failures, and the small
// buffers of the decoding and encoding code.

#include "image/ansi_path.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "image/image_testing.h"
#include "image/small_buffer.h"
#include "platform/kernel/last_error.h"
#include "tests/platform/kernel/locale_environment.h"

namespace {

// Whether bytes lie inside the object itself, not on the heap.
template <class Object>
bool Inside(const Object& object, const void* bytes) {
    const auto* start = reinterpret_cast<const BYTE*>(&object);
    const auto* at = static_cast<const BYTE*>(bytes);
    return !std::less<const BYTE*>()(at, start) && std::less<const BYTE*>()(at, start + sizeof object);
}

TEST(AnsiPathCodePage, TakesTheThreadRuleOnThisPlatform) {
    EXPECT_EQ(AnsiPathCodePage(), kernel::CP_THREAD_ACP);
    EXPECT_EQ(AnsiPathCodePage(), kernel::CP_THREAD_ACP);  // the stored rule
}

TEST(LocaleRuleCodePage, ReadsTheLocalesCodePage) {
    struct Case {
        const char* locale;
        UINT codePage;
    };
    for (const Case& c : {Case{"ja_JP.SJIS", 932}, Case{"ru_RU.KOI8-R", 20866}, Case{"C", 65001}}) {
        ScopedLocaleEnvironment environment(c.locale);
        EXPECT_EQ(LocaleRuleCodePage(), c.codePage) << c.locale;
    }
}

TEST(HResultFromWin32, KeepsZeroAndNegativesAndMarksTheRest) {
    struct Case {
        DWORD error;
        HRESULT result;
    };
    for (const Case& c :
         {Case{0, 0}, Case{87, static_cast<HRESULT>(0x80070057)}, Case{8, static_cast<HRESULT>(0x80070008)},
          Case{0x12345, static_cast<HRESULT>(0x80072345)}, Case{0x80004005, static_cast<HRESULT>(0x80004005)}}) {
        EXPECT_EQ(HResultFromWin32(c.error), c.result) << c.error;
    }
}

TEST(CAnsiToWide, Holds128CharactersWithoutTheHeap) {
    std::string path127(127, 'a'), path128(128, 'a');
    CAnsiToWide short_(path127.c_str()), long_(path128.c_str());
    EXPECT_TRUE(Inside(short_, short_.Get()));
    EXPECT_FALSE(Inside(long_, long_.Get()));
    EXPECT_EQ(std::u16string(short_.Get()), std::u16string(127, u'a'));
    EXPECT_EQ(std::u16string(long_.Get()), std::u16string(128, u'a'));
}

TEST(CAnsiToWide, ReadsTheLocalesCodePage) {
    ScopedLocaleEnvironment environment("ja_JP.SJIS");
    CAnsiToWide wide("/\x8E\xCA\x90\x5E.jpg");
    EXPECT_EQ(std::u16string(wide.Get()), u"/\u5199\u771F.jpg");
}

TEST(CAnsiToWide, FailuresRaiseExceptions) {
    try {
        CAnsiToWide wide(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const CHResultError& error) {
        EXPECT_EQ(error.Result(), static_cast<HRESULT>(0x80070057));  // ERROR_INVALID_PARAMETER
    }
    std::string path(300, 'b');
    SmallBufferFaults::heapEmpty = true;
    EXPECT_THROW(CAnsiToWide{path.c_str()}, std::bad_alloc);
    EXPECT_NO_THROW(CAnsiToWide{"short"});
    SmallBufferFaults::heapEmpty = false;
}

TEST(CSmallBuffer, UsesTheStackUpTo1024BytesWhenThereIsRoom) {
    CSmallBuffer small, limit, large;
    const BYTE* smallBytes = small.Obtain(16);
    const BYTE* limitBytes = limit.Obtain(1024);
    const BYTE* largeBytes = large.Obtain(1025);
    ASSERT_NE(smallBytes, nullptr);
    ASSERT_NE(limitBytes, nullptr);
    ASSERT_NE(largeBytes, nullptr);
    EXPECT_TRUE(Inside(small, smallBytes));
    EXPECT_TRUE(Inside(limit, limitBytes));
    EXPECT_FALSE(Inside(large, largeBytes));

    SmallBufferFaults::stackFull = true;
    CSmallBuffer crowded;
    const BYTE* crowdedBytes = crowded.Obtain(16);
    EXPECT_NE(crowdedBytes, nullptr);
    EXPECT_FALSE(Inside(crowded, crowdedBytes));
    SmallBufferFaults::heapEmpty = true;
    CSmallBuffer none;
    EXPECT_EQ(none.Obtain(16), nullptr);
    SmallBufferFaults::stackFull = SmallBufferFaults::heapEmpty = false;
}

TEST(StackHasRoom, KnowsTheThreadsStack) {
    EXPECT_TRUE(StackHasRoom(1024));
    EXPECT_FALSE(StackHasRoom(size_t{1} << 40));
}

}  // namespace

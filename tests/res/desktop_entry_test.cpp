// The desktop entry offers the program for every format it decodes, and
// for no other: its MIME list is the imaging library's list of decoders,
// each of which reads a file of its kind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/codec_info.h"
#include "platform/imaging/imaging_testing.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

std::string Narrow(const WCHAR* text) {
    std::string narrow;
    for (; *text; ++text) narrow += static_cast<char>(*text);
    return narrow;
}

// The values of a key of the [Desktop Entry] group, split at ';'.
std::vector<std::string> EntryList(const std::string& key) {
    std::ifstream file(PELMORA_DESKTOP_ENTRY);
    std::string line;
    std::vector<std::string> values;
    while (std::getline(file, line)) {
        if (line.rfind(key + "=", 0) != 0) continue;
        std::stringstream list(line.substr(key.size() + 1));
        for (std::string value; std::getline(list, value, ';');) {
            if (!value.empty()) values.push_back(value);
        }
    }
    return values;
}

std::vector<ImageCodecInfo> Decoders(std::vector<std::max_align_t>* storage) {
    UINT count = 0, size = 0;
    EXPECT_EQ(GdipGetImageDecodersSize(&count, &size), Ok);
    storage->resize(size / sizeof(std::max_align_t) + 1);
    auto* list = reinterpret_cast<ImageCodecInfo*>(storage->data());
    EXPECT_EQ(GdipGetImageDecoders(count, size, list), Ok);
    return std::vector<ImageCodecInfo>(list, list + count);
}

TEST_F(ImagingTest, TheDesktopEntryOpensFilesOfEveryDecoderAndNoOther) {
    std::vector<std::max_align_t> storage;
    std::set<std::string> decoded;
    for (const ImageCodecInfo& decoder : Decoders(&storage)) decoded.insert(Narrow(decoder.MimeType));
    const std::vector<std::string> listed = EntryList("MimeType");
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), decoded);
    EXPECT_EQ(EntryList("Exec"), std::vector<std::string>{"pelmora %F"}) << "the desktop passes the files";
}

TEST_F(ImagingTest, EveryListedDecoderReadsAFileOfItsKind) {
    std::vector<std::max_align_t> storage;
    for (const ImageCodecInfo& decoder : Decoders(&storage)) {
        const std::string name = Narrow(decoder.FormatDescription);
        SCOPED_TRACE(name);
        EXPECT_NE(decoder.Flags & ImageCodecFlagsDecoder, 0u);
        // Its patterns ("*.HEIC;*.HEIF") name the fixtures' extensions.
        std::set<std::string> extensions;
        std::stringstream patterns(Narrow(decoder.FilenameExtension));
        for (std::string pattern; std::getline(patterns, pattern, ';');) {
            std::string extension = pattern.substr(pattern.rfind('.'));
            for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            extensions.insert(extension);
        }
        int read = 0;
        for (const auto& entry : std::filesystem::directory_iterator(PELMORA_FIXTURES_DIR)) {
            if (!extensions.contains(entry.path().extension().string())) continue;
            BitmapPtr bitmap;
            if (Load(entry.path().string(), &bitmap) != Ok) continue;
            GUID format;
            ASSERT_EQ(GdipGetImageRawFormat(bitmap.get(), &format), Ok);
            EXPECT_EQ(format, decoder.FormatID) << entry.path();
            ++read;
        }
        EXPECT_GT(read, 0) << "no file of this kind decodes";
    }
}

}  // namespace

// Choosing an encoder by extension or format id, and the piece reader.

#include "image/encoder_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace gdiplus;

struct PieceCase {
    const char16_t* text;
    std::vector<std::u16string> pieces;  // the pieces read before the position becomes -1
};

TEST(ReadPiece, SkipsEmptyPiecesAndEndsWithAnEmptyOne) {
    const PieceCase cases[] = {
        {u"*.BMP;*.DIB;*.RLE", {u"*.BMP", u"*.DIB", u"*.RLE"}},
        {u"*.GIF", {u"*.GIF"}},
        {u"*.A;;*.B", {u"*.A", u"*.B"}},
        {u";;*.A;", {u"*.A"}},
        {u"*.A;;;", {u"*.A"}},
        {u";;;", {}},
        {u"", {}},
    };
    for (const PieceCase& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
        std::vector<std::u16string> read;
        int p = 0;
        while (true) {
            CPiece piece = ReadPiece(c.text, &p);
            if (p == -1) {
                EXPECT_EQ(piece.length, 0u);  // the closing piece is empty
                break;
            }
            read.emplace_back(piece.start, piece.length);
        }
        EXPECT_EQ(read, c.pieces);
    }
}

TEST(ReadPiece, GivesTheLastPieceWithAPositionStillValid) {
    int p = 0;
    CPiece first = ReadPiece(u"*.PNG", &p);
    EXPECT_EQ(std::u16string(first.start, first.length), u"*.PNG");
    EXPECT_EQ(p, 6);
    ReadPiece(u"*.PNG", &p);
    EXPECT_EQ(p, -1);
}

ImageCodecInfo Encoder(DWORD id, const char16_t* patterns, GUID format = GUID_NULL) {
    ImageCodecInfo info{};
    info.Clsid.Data1 = id;
    info.FormatID = format;
    info.FilenameExtension = patterns;
    return info;
}

TEST(FindEncoderByExtension, MatchesTheLastExtensionOfAnyPatternIgnoringCase) {
    const ImageCodecInfo encoders[] = {
        Encoder(1, u"*.BMP;*.DIB;*.RLE"),
        Encoder(2, u"*.JPG;*.JPEG;*.JPE;*.JFIF"),
        Encoder(3, u";;*.GIF;;"),  // empty pieces and a trailing separator
        Encoder(4, u"*.TIF;*.TIFF;"),
        Encoder(5, u"*.PNG"),
        Encoder(6, u"*.JPG"),  // claims an extension an earlier one has
        Encoder(7, nullptr),
    };
    struct Case {
        const char* extension;
        DWORD encoder;  // 0: none
    };
    for (const Case& c :
         {Case{".jpg", 2}, Case{".JPG", 2}, Case{".Jfif", 2}, Case{".gif", 3}, Case{".tiff", 4}, Case{".png", 5},
          Case{".dib", 1}, Case{".xyz", 0}, Case{"", 0}, Case{".", 0}, Case{".jpg ", 0}, Case{"jpg", 0}}) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(FindEncoderByExtension(c.extension, encoders, 7).Data1, c.encoder);
    }
    // Only the letters A to Z fold: an e-acute is not an E-acute.
    const ImageCodecInfo accented[] = {Encoder(8, u"*.\u00C9")};
    EXPECT_EQ(FindEncoderByExtension(".\xC3\xA9", accented, 1), GUID_NULL);
    EXPECT_EQ(FindEncoderByExtension(".\xC3\x89", accented, 1).Data1, 8u);
}

TEST(FindEncoderByExtension, NoExtensionMatchesOnlyAPatternWithoutOne) {
    const ImageCodecInfo withBare[] = {Encoder(1, u"*.PNG"), Encoder(2, u"README;*.TXT")};
    EXPECT_EQ(FindEncoderByExtension("", withBare, 2).Data1, 2u);
    EXPECT_EQ(FindEncoderByExtension("", withBare, 1), GUID_NULL);
}

TEST(FindEncoderByFormat, MatchesAll16Bytes) {
    GUID a = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}};
    GUID b = a;
    b.Data4[7] = 0x2f;
    const ImageCodecInfo encoders[] = {Encoder(1, u"*.X", b), Encoder(2, u"*.Y", a), Encoder(3, u"*.Z", a)};
    EXPECT_EQ(FindEncoderByFormat(a, encoders, 3).Data1, 2u);
    EXPECT_EQ(FindEncoderByFormat(b, encoders, 3).Data1, 1u);
    EXPECT_EQ(FindEncoderByFormat(GUID_NULL, encoders, 3), GUID_NULL);
}

}  // namespace

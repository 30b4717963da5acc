// Property items: what the decoders find in files made by other tools, the
// flat calls on them, what the encoders write back, and damaged blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/codec_info.h"
#include "platform/imaging/decode_limits.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/property_item.h"
#include "tests/platform/imaging/imaging_test_support.h"

namespace {

using namespace gdiplus;
using namespace imaging_test;

struct Item {
    WORD type;
    std::vector<BYTE> value;
};

std::optional<Item> GetItem(GpBitmap* bitmap, PROPID id) {
    UINT size = 0;
    if (GdipGetPropertyItemSize(bitmap, id, &size) != Ok) return std::nullopt;
    std::vector<PropertyItem> buffer(size / sizeof(PropertyItem) + 1);
    EXPECT_EQ(GdipGetPropertyItem(bitmap, id, size, buffer.data()), Ok);
    const BYTE* value = static_cast<const BYTE*>(buffer[0].value);
    return Item{buffer[0].type, std::vector<BYTE>(value, value + buffer[0].length)};
}

std::string Text(const std::optional<Item>& item) {
    return item ? std::string(item->value.begin(), item->value.end()) : "(none)";
}

unsigned Short(const std::optional<Item>& item) {
    return item && item->value.size() == 2 ? item->value[0] | item->value[1] << 8 : 0;
}

std::vector<PROPID> Ids(GpBitmap* bitmap) {
    UINT count = 0;
    EXPECT_EQ(GdipGetPropertyCount(bitmap, &count), Ok);
    std::vector<PROPID> ids(count);
    EXPECT_EQ(GdipGetPropertyIdList(bitmap, count, ids.data()), Ok);
    return ids;
}

bool HasGpsItem(GpBitmap* bitmap) {
    for (PROPID id : Ids(bitmap)) {
        if (id <= PropertyTagGpsLast) return true;
    }
    return false;
}

Status SetItem(GpBitmap* bitmap, PROPID id, WORD type, std::vector<BYTE> value) {
    PropertyItem item{id, static_cast<ULONG>(value.size()), type, value.data()};
    return GdipSetPropertyItem(bitmap, &item);
}

const std::vector<BYTE>& FixtureProfile() {
    static const std::vector<BYTE> profile = ReadBytes(FixturePath("metadata-profile.icc"));
    return profile;
}

// The fixture's profile grown to size bytes (its header saying so), as
// large profiles with tables of many points are.
std::vector<BYTE> Profile(size_t size) {
    std::vector<BYTE> profile = FixtureProfile();
    profile.resize(size);
    for (size_t i = FixtureProfile().size(); i < size; ++i) profile[i] = static_cast<BYTE>(i * 7 + i / 251);
    for (int i = 0; i < 4; ++i) profile[static_cast<size_t>(i)] = static_cast<BYTE>(size >> (24 - 8 * i));
    return profile;
}

class PropertyItems : public ImagingTest {
protected:
    BitmapPtr Loaded(const std::string& path) {
        BitmapPtr bitmap;
        EXPECT_EQ(Load(path, &bitmap), Ok) << path;
        return bitmap;
    }
    std::string Saved(GpBitmap* bitmap, const CLSID& encoder, const std::string& name) {
        std::string path = folder / name;
        EXPECT_EQ(GdipSaveImageToFile(bitmap, WidePath(path).c_str(), &encoder, nullptr), Ok) << name;
        return path;
    }
    TempFolder folder;
};

TEST_F(PropertyItems, FilesOfOtherToolsCarryTheirProfileExifAndXmp) {
    // The EXIF says orientation 6 for a picture stored turned back. The
    // decoders of JPEG, TIFF, WebP and JPEG XL (from its header) turn it
    // upright and say so; HEIF files turn by boxes of their own (heif-enc
    // writes none), so they show as stored, and upright.
    const struct {
        const char* file;
        bool thumbnail;
        unsigned orientation;
        UINT width;
    } cases[] = {{"jpeg-metadata.jpg", true, 1, 32},  {"png-metadata.png", true, 6, 16},
                 {"tiff-metadata.tif", false, 1, 32}, {"webp-metadata.webp", true, 1, 32},
                 {"heic-metadata.heic", true, 1, 16}, {"avif-metadata.avif", true, 1, 16},
                 {"jxl-metadata.jxl", true, 1, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        BitmapPtr bitmap = Loaded(FixturePath(c.file));
        ASSERT_TRUE(bitmap);
        std::optional<Item> profile = GetItem(bitmap.get(), PropertyTagICCProfile);
        ASSERT_TRUE(profile);
        EXPECT_EQ(profile->type, PropertyTagTypeByte);
        EXPECT_EQ(profile->value, FixtureProfile());
        std::optional<Item> make = GetItem(bitmap.get(), PropertyTagEquipMake);
        ASSERT_TRUE(make);
        EXPECT_EQ(make->type, PropertyTagTypeASCII);
        EXPECT_EQ(Text(make), std::string("Fixture Camera Co", 18)) << "the NUL counts";
        EXPECT_EQ(Text(GetItem(bitmap.get(), PropertyTagExifDTOrig)), std::string("2024:05:17 09:41:00", 20));
        EXPECT_EQ(Text(GetItem(bitmap.get(), PropertyTagArtist)), std::string("A. Photographer", 16));
        EXPECT_EQ(Short(GetItem(bitmap.get(), PropertyTagOrientation)), c.orientation);
        EXPECT_EQ(WidthOf(bitmap.get()), c.width);
        std::optional<Item> latitude = GetItem(bitmap.get(), PropertyTagGpsLatitude);
        ASSERT_TRUE(latitude);
        EXPECT_EQ(latitude->type, PropertyTagTypeRational);
        // 35/1 39/1 774/25, each a numerator and a denominator.
        EXPECT_EQ(latitude->value,
                  (std::vector<BYTE>{35, 0, 0, 0, 1, 0, 0, 0, 39, 0, 0, 0, 1, 0, 0, 0, 0x06, 0x03, 0, 0, 25, 0, 0, 0}));
        EXPECT_EQ(GetItem(bitmap.get(), PropertyTagThumbnailData).has_value(), c.thumbnail);
        EXPECT_TRUE(GetItem(bitmap.get(), PropertyTagExifBlock).has_value());
        EXPECT_NE(Text(GetItem(bitmap.get(), PropertyTagXmpPacket)).find("Harbour at dawn"), std::string::npos);
        // Pointers into the block are no items.
        EXPECT_FALSE(GetItem(bitmap.get(), 0x8769).has_value());
        EXPECT_FALSE(GetItem(bitmap.get(), 0x8825).has_value());
    }
}

TEST_F(PropertyItems, TheFlatCallsKeepTheLibrarysContract) {
    BitmapPtr bitmap;
    ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
    EXPECT_TRUE(Ids(bitmap.get()).empty());
    UINT size = 0;
    EXPECT_EQ(GdipGetPropertyItemSize(bitmap.get(), PropertyTagOrientation, &size), PropertyNotFound);
    EXPECT_EQ(GdipRemovePropertyItem(bitmap.get(), PropertyTagOrientation), PropertyNotFound);

    ASSERT_EQ(SetItem(bitmap.get(), PropertyTagOrientation, PropertyTagTypeShort, {3, 0}), Ok);
    ASSERT_EQ(SetItem(bitmap.get(), PropertyTagEquipMake, PropertyTagTypeASCII, {'X', 0}), Ok);
    ASSERT_EQ(SetItem(bitmap.get(), PropertyTagOrientation, PropertyTagTypeShort, {8, 0}), Ok);
    EXPECT_EQ(Ids(bitmap.get()), (std::vector<PROPID>{PropertyTagOrientation, PropertyTagEquipMake}))
        << "a replaced item keeps its place";
    EXPECT_EQ(Short(GetItem(bitmap.get(), PropertyTagOrientation)), 8u);

    ASSERT_EQ(GdipGetPropertyItemSize(bitmap.get(), PropertyTagEquipMake, &size), Ok);
    EXPECT_EQ(size, sizeof(PropertyItem) + 2);
    std::vector<PropertyItem> buffer(4);
    EXPECT_EQ(GdipGetPropertyItem(bitmap.get(), PropertyTagEquipMake, size + 1, buffer.data()), InvalidParameter);
    EXPECT_EQ(GdipGetPropertyItem(bitmap.get(), PropertyTagEquipMake, size - 1, buffer.data()), InvalidParameter);
    PROPID ids[3];
    EXPECT_EQ(GdipGetPropertyIdList(bitmap.get(), 1, ids), InvalidParameter);
    EXPECT_EQ(GdipGetPropertyIdList(bitmap.get(), 3, ids), InvalidParameter);

    PropertyItem noValue{PropertyTagArtist, 4, PropertyTagTypeASCII, nullptr};
    EXPECT_EQ(GdipSetPropertyItem(bitmap.get(), &noValue), InvalidParameter);
    EXPECT_EQ(GdipSetPropertyItem(bitmap.get(), nullptr), InvalidParameter);
    EXPECT_EQ(SetItem(bitmap.get(), PropertyTagICCProfile, PropertyTagTypeByte, Profile(maxMetadataBytes + 1)),
              InvalidParameter);

    EXPECT_EQ(GdipRemovePropertyItem(bitmap.get(), PropertyTagOrientation), Ok);
    EXPECT_EQ(Ids(bitmap.get()), std::vector<PROPID>{PropertyTagEquipMake});
    UINT count = 0;
    EXPECT_EQ(GdipGetPropertyCount(nullptr, &count), InvalidParameter);
}

TEST_F(PropertyItems, EncodersWriteWhatTheItemsNowSay) {
    const struct {
        const char* name;
        CLSID encoder;
    } cases[] = {{"saved.jpg", ClsidJpegEncoder},  {"saved.png", ClsidPngEncoder},   {"saved.tif", ClsidTiffEncoder},
                 {"saved.webp", ClsidWebpEncoder}, {"saved.heic", ClsidHeifEncoder}, {"saved.avif", ClsidAvifEncoder},
                 {"saved.jxl", ClsidJxlEncoder}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapPtr photo = Loaded(FixturePath("jpeg-metadata.jpg"));
        ASSERT_TRUE(photo);
        ASSERT_EQ(SetItem(photo.get(), PropertyTagOrientation, PropertyTagTypeShort, {1, 0}), Ok);
        ASSERT_EQ(SetItem(photo.get(), PropertyTagExifPixXDim, PropertyTagTypeLong, {32, 0, 0, 0}), Ok);
        ASSERT_EQ(SetItem(photo.get(), PropertyTagCopyright, PropertyTagTypeASCII, {'m', 'i', 'n', 'e', 0}), Ok);
        for (PROPID id : Ids(photo.get())) {
            if (id <= PropertyTagGpsLast || (id >= PropertyTagThumbnailFirst && id <= PropertyTagThumbnailLast)) {
                ASSERT_EQ(GdipRemovePropertyItem(photo.get(), id), Ok);
            }
        }
        BitmapPtr saved = Loaded(Saved(photo.get(), c.encoder, c.name));
        ASSERT_TRUE(saved);
        std::optional<Item> profile = GetItem(saved.get(), PropertyTagICCProfile);
        ASSERT_TRUE(profile);
        EXPECT_EQ(profile->value, FixtureProfile());
        EXPECT_EQ(Text(GetItem(saved.get(), PropertyTagEquipModel)), std::string("FC-1", 5));
        EXPECT_EQ(Text(GetItem(saved.get(), PropertyTagExifDTOrig)), std::string("2024:05:17 09:41:00", 20));
        EXPECT_EQ(Text(GetItem(saved.get(), PropertyTagCopyright)), std::string("mine", 5));
        EXPECT_EQ(Short(GetItem(saved.get(), PropertyTagOrientation)), 1u);
        std::optional<Item> width = GetItem(saved.get(), PropertyTagExifPixXDim);
        ASSERT_TRUE(width);
        EXPECT_EQ(width->value, (std::vector<BYTE>{32, 0, 0, 0}));
        EXPECT_FALSE(HasGpsItem(saved.get()));
        EXPECT_FALSE(GetItem(saved.get(), PropertyTagThumbnailData).has_value());
        // The XMP packet follows: its position goes with the EXIF's, its
        // orientation and dimensions say what the EXIF says.
        std::string xmp = Text(GetItem(saved.get(), PropertyTagXmpPacket));
        EXPECT_NE(xmp.find("Harbour at dawn"), std::string::npos) << xmp;
        EXPECT_EQ(xmp.find("GPS"), std::string::npos) << xmp;
        EXPECT_EQ(xmp.find('6'), std::string::npos) << "no orientation 6 left: " << xmp;
        EXPECT_NE(xmp.find("32"), std::string::npos) << xmp;
    }
}

TEST_F(PropertyItems, UnchangedItemsWriteTheBlocksAsRead) {
    // The PNG decoder leaves the picture as stored, so its items stand.
    BitmapPtr photo = Loaded(FixturePath("png-metadata.png"));
    ASSERT_TRUE(photo);
    for (CLSID encoder : {ClsidPngEncoder, ClsidJpegEncoder}) {
        BitmapPtr saved = Loaded(Saved(photo.get(), encoder, "copy"));
        ASSERT_TRUE(saved);
        for (PROPID id : {PropertyTagExifBlock, PropertyTagXmpPacket, PropertyTagICCProfile}) {
            SCOPED_TRACE(id);
            EXPECT_EQ(GetItem(saved.get(), id)->value, GetItem(photo.get(), id)->value);
        }
    }
}

// The mean difference of a channel between two pictures of one size.
double MeanDifference(const std::vector<ARGB>& a, const std::vector<ARGB>& b) {
    long total = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            total += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return a.empty() ? 0.0 : static_cast<double>(total) / (4.0 * static_cast<double>(a.size()));
}

TEST_F(PropertyItems, ThePixelsAreTheSameWithAndWithoutItems) {
    // With a profile a JPEG XL file keeps its pixels in the profile's colour
    // space, not the library's own, and so differs from one without by what
    // its lossy coding loses; a colour conversion would differ by far more.
    const struct {
        CLSID encoder;
        double tolerance;  // of the mean difference of a channel
    } cases[] = {{ClsidJpegEncoder, 0}, {ClsidPngEncoder, 0},  {ClsidTiffEncoder, 0},
                 {ClsidBmpEncoder, 0},  {ClsidGifEncoder, 0},  {ClsidWebpEncoder, 0},
                 {ClsidHeifEncoder, 0}, {ClsidAvifEncoder, 0}, {ClsidJxlEncoder, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoder.Data1);
        BitmapPtr with = Loaded(FixturePath("jpeg-metadata.jpg"));
        BitmapPtr without = Loaded(FixturePath("jpeg-metadata.jpg"));
        ASSERT_TRUE(with && without);
        for (PROPID id : Ids(without.get())) ASSERT_EQ(GdipRemovePropertyItem(without.get(), id), Ok);
        BitmapPtr a = Loaded(Saved(with.get(), c.encoder, "with"));
        BitmapPtr b = Loaded(Saved(without.get(), c.encoder, "without"));
        ASSERT_TRUE(a && b);
        ASSERT_EQ(PixelsOf(a.get()).size(), PixelsOf(b.get()).size());
        if (c.tolerance == 0) {
            EXPECT_EQ(PixelsOf(a.get()), PixelsOf(b.get()));
        } else {
            EXPECT_LE(MeanDifference(PixelsOf(a.get()), PixelsOf(b.get())), c.tolerance);
        }
        EXPECT_EQ(WidthOf(a.get()), 32u);
    }
}

TEST_F(PropertyItems, AProfileOfManySegmentsTravelsWhole) {
    // JPEG segments hold at most 65519 bytes of a profile.
    std::vector<BYTE> profile = Profile(200000);
    for (CLSID encoder : {ClsidJpegEncoder, ClsidPngEncoder, ClsidTiffEncoder, ClsidWebpEncoder, ClsidHeifEncoder,
                          ClsidAvifEncoder, ClsidJxlEncoder}) {
        SCOPED_TRACE(encoder.Data1);
        BitmapPtr bitmap;
        ASSERT_EQ(GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
        ASSERT_EQ(SetItem(bitmap.get(), PropertyTagICCProfile, PropertyTagTypeByte, profile), Ok);
        BitmapPtr saved = Loaded(Saved(bitmap.get(), encoder, "big"));
        ASSERT_TRUE(saved);
        std::optional<Item> read = GetItem(saved.get(), PropertyTagICCProfile);
        ASSERT_TRUE(read);
        EXPECT_TRUE(read->value == profile);
    }
}

TEST_F(PropertyItems, AProfileTheLibraryRefusesIsLeftOutNotTheSave) {
    // A grey profile for a colour picture: libpng and libjxl check it.
    std::vector<BYTE> grey = FixtureProfile();
    std::memcpy(&grey[16], "GRAY", 4);
    for (CLSID encoder : {ClsidPngEncoder, ClsidJxlEncoder}) {
        SCOPED_TRACE(encoder.Data1);
        BitmapPtr bitmap;
        ASSERT_EQ(GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat24bppRGB, nullptr, bitmap.out()), Ok);
        ASSERT_EQ(SetItem(bitmap.get(), PropertyTagICCProfile, PropertyTagTypeByte, grey), Ok);
        ASSERT_EQ(SetItem(bitmap.get(), PropertyTagArtist, PropertyTagTypeASCII, {'m', 'e', 0}), Ok);
        BitmapPtr saved = Loaded(Saved(bitmap.get(), encoder, "grey"));
        ASSERT_TRUE(saved);
        EXPECT_FALSE(GetItem(saved.get(), PropertyTagICCProfile).has_value());
        EXPECT_EQ(Text(GetItem(saved.get(), PropertyTagArtist)), std::string("me", 3));
    }
}

// The segments of a JPEG file before its image data.
struct Segment {
    BYTE marker;
    size_t start;   // of the marker
    size_t length;  // of the data after the two length bytes
};

std::vector<Segment> Segments(const std::vector<BYTE>& jpeg) {
    std::vector<Segment> segments;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        size_t length = (jpeg[at + 2] << 8 | jpeg[at + 3]) - 2u;
        segments.push_back({jpeg[at + 1], at, length});
        at += 4 + length;
    }
    return segments;
}

const Segment& Find(const std::vector<Segment>& segments, const std::vector<BYTE>& jpeg, BYTE marker, const char* id) {
    for (const Segment& s : segments) {
        if (s.marker == marker && std::memcmp(jpeg.data() + s.start + 4, id, std::strlen(id)) == 0) return s;
    }
    throw std::runtime_error(std::string("no segment ") + id);
}

std::vector<BYTE> IccSegments(const std::vector<BYTE>& profile) {
    constexpr size_t piece = 65519;
    size_t count = (profile.size() + piece - 1) / piece;
    std::vector<BYTE> out;
    for (size_t i = 0; i < count; ++i) {
        size_t bytes = std::min(piece, profile.size() - i * piece);
        size_t length = bytes + 16;
        out.insert(out.end(), {0xFF, 0xE2, static_cast<BYTE>(length >> 8), static_cast<BYTE>(length)});
        const char id[] = "ICC_PROFILE";
        out.insert(out.end(), id, id + sizeof id);
        out.push_back(static_cast<BYTE>(i + 1));
        out.push_back(static_cast<BYTE>(count));
        out.insert(out.end(), profile.begin() + static_cast<long>(i * piece),
                   profile.begin() + static_cast<long>(i * piece + bytes));
    }
    return out;
}

TEST_F(PropertyItems, ADamagedBlockIsDroppedAndThePhotoStillOpensAndSaves) {
    const std::vector<BYTE> fixture = ReadBytes(FixturePath("jpeg-metadata.jpg"));
    const std::vector<Segment> segments = Segments(fixture);
    const Segment& exif = Find(segments, fixture, 0xE1, "Exif");
    const Segment& xmp = Find(segments, fixture, 0xE1, "http://ns.adobe.com/xap/1.0/");
    const Segment& icc = Find(segments, fixture, 0xE2, "ICC_PROFILE");
    const size_t tiff = exif.start + 4 + 6, profile = icc.start + 4 + 14;

    struct Case {
        const char* name;
        std::vector<BYTE> file;
        PROPID lost;
    };
    std::vector<Case> cases;
    auto damaged = [&](const char* name, PROPID lost, auto change) {
        std::vector<BYTE> file = fixture;
        change(file);
        cases.push_back({name, std::move(file), lost});
    };
    damaged("EXIF without a TIFF header", PropertyTagExifBlock, [&](auto& f) { std::memcpy(&f[tiff], "XX*\0", 4); });
    damaged("EXIF directory past the end", PropertyTagExifBlock,
            [&](auto& f) { std::memcpy(&f[tiff + 4], "\x7F\xFF\xFF\xF0", 4); });
    damaged("profile of another size than it says", PropertyTagICCProfile, [&](auto& f) { f[profile + 2] ^= 1; });
    damaged("profile piece 2 of 1", PropertyTagICCProfile, [&](auto& f) { f[profile - 2] = 2; });
    damaged("XMP that is no XML", PropertyTagXmpPacket, [&](auto& f) { std::memset(&f[xmp.start + 4 + 29], '<', 40); });
    damaged("profile beyond the limit", PropertyTagICCProfile, [&](auto& f) {
        std::vector<BYTE> big = IccSegments(Profile(maxMetadataBytes + 1));
        f.erase(f.begin() + static_cast<long>(icc.start), f.begin() + static_cast<long>(icc.start + 4 + icc.length));
        f.insert(f.begin() + static_cast<long>(icc.start), big.begin(), big.end());
    });

    // Without its EXIF the picture is not turned upright.
    BitmapPtr original = Loaded(FixturePath("jpeg-metadata.jpg")), stored;
    std::vector<BYTE> withoutExif = fixture;
    withoutExif.erase(withoutExif.begin() + static_cast<long>(exif.start),
                      withoutExif.begin() + static_cast<long>(exif.start + 4 + exif.length));
    ASSERT_EQ(LoadBytes(withoutExif, &stored), Ok);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapPtr bitmap;
        ASSERT_EQ(LoadBytes(c.file, &bitmap), Ok);
        GpBitmap* expected = c.lost == PropertyTagExifBlock ? stored.get() : original.get();
        EXPECT_EQ(PixelsOf(bitmap.get()), PixelsOf(expected));
        EXPECT_FALSE(GetItem(bitmap.get(), c.lost).has_value());
        for (PROPID kept : {PropertyTagExifBlock, PropertyTagICCProfile, PropertyTagXmpPacket}) {
            if (kept != c.lost) {
                EXPECT_TRUE(GetItem(bitmap.get(), kept).has_value()) << kept;
            }
        }
        if (c.lost == PropertyTagExifBlock) {
            EXPECT_FALSE(GetItem(bitmap.get(), PropertyTagEquipMake).has_value());
        }
        BitmapPtr saved = Loaded(Saved(bitmap.get(), ClsidJpegEncoder, "saved.jpg"));
        EXPECT_TRUE(saved);
    }
}

TEST_F(PropertyItems, ADamagedBlockOfTheNewerFormatsIsDroppedToo) {
    // Our own JPEG XL file, whose boxes are not compressed.
    BitmapPtr photo = Loaded(FixturePath("jpeg-metadata.jpg"));
    ASSERT_TRUE(photo);
    const std::string jxl = Saved(photo.get(), ClsidJxlEncoder, "saved.jxl");
    // Each damages the bytes at an offset from where a mark first occurs.
    const struct {
        const char* name;
        std::string file;
        CLSID encoder;
        std::string mark;
        size_t at;
        std::string bytes;
        PROPID lost;
    } cases[] = {
        {"WebP EXIF without a TIFF header", FixturePath("webp-metadata.webp"), ClsidWebpEncoder, "EXIF", 8, "XX",
         PropertyTagExifBlock},
        {"WebP profile of another size than it says", FixturePath("webp-metadata.webp"), ClsidWebpEncoder, "ICCP", 10,
         "\x7F", PropertyTagICCProfile},
        {"WebP XMP that is no XML", FixturePath("webp-metadata.webp"), ClsidWebpEncoder, "XMP ", 8,
         std::string(40, '<'), PropertyTagXmpPacket},
        {"HEIF Exif offset past the item", FixturePath("heic-metadata.heic"), ClsidHeifEncoder, "MM\0*", 0,
         std::string("\x7F\xFF\xFF\xF0", 4), PropertyTagExifBlock},
        {"HEIF profile of another size than it says", FixturePath("heic-metadata.heic"), ClsidHeifEncoder, "prof", 6,
         "\x7F", PropertyTagICCProfile},
        {"JPEG XL Exif offset past the box", jxl, ClsidJxlEncoder, "Exif", 4, std::string("\x7F\xFF\xFF\xF0", 4),
         PropertyTagExifBlock},
        {"JPEG XL XMP that is no XML", jxl, ClsidJxlEncoder, "xml ", 4, std::string(40, '<'), PropertyTagXmpPacket},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> file = ReadBytes(c.file);
        const std::string text(file.begin(), file.end());
        size_t mark = text.find(c.mark);
        ASSERT_NE(mark, std::string::npos);
        // The HEIF Exif item's offset stands just before its TIFF header.
        if (c.mark == std::string("MM\0*", 4)) mark -= 4;
        ASSERT_LE(mark + c.at + c.bytes.size(), file.size());
        std::copy(c.bytes.begin(), c.bytes.end(), file.begin() + static_cast<long>(mark + c.at));
        BitmapPtr bitmap;
        ASSERT_EQ(LoadBytes(file, &bitmap), Ok);
        EXPECT_FALSE(GetItem(bitmap.get(), c.lost).has_value());
        for (PROPID kept : {PropertyTagExifBlock, PropertyTagICCProfile, PropertyTagXmpPacket}) {
            if (kept != c.lost) {
                EXPECT_TRUE(GetItem(bitmap.get(), kept).has_value()) << kept;
            }
        }
        EXPECT_TRUE(Loaded(Saved(bitmap.get(), c.encoder, "resaved")));
    }

    // Boxes after the codestream count as well, unless larger than a block
    // may be; one too large does not keep the next from being read.
    BitmapPtr bare;
    ASSERT_EQ(GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat24bppRGB, nullptr, bare.out()), Ok);
    const std::vector<BYTE> codestream = ReadBytes(Saved(bare.get(), ClsidJxlEncoder, "bare.jxl"));
    ASSERT_GE(codestream.size(), 2u);
    ASSERT_EQ(codestream[0], 0xFF) << "no container of its own";
    auto box = [](const char* type, const std::string& contents) {
        std::string out;
        const size_t size = contents.size() + 8;
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(size >> (24 - 8 * i)));
        return out + type + contents;
    };
    const std::string packet = Text(GetItem(photo.get(), PropertyTagXmpPacket));
    ASSERT_NE(packet.find("</x:xmpmeta>"), std::string::npos);
    std::string large = packet;
    large.insert(large.find("</x:xmpmeta>"), maxMetadataBytes + 1 - packet.size(), ' ');
    const struct {
        const char* name;
        std::string after;
        bool xmpKept;
    } boxes[] = {
        {"a packet", box("xml ", packet), true},
        {"a packet too large", box("xml ", large), false},
        {"EXIF too large, then a packet", box("Exif", std::string(maxMetadataBytes + 5, 'x')) + box("xml ", packet),
         true},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.name);
        std::string file = box("JXL ", "\r\n\x87\n") + box("ftyp", std::string("jxl \0\0\0\0jxl ", 12)) +
                           box("jxlc", std::string(codestream.begin(), codestream.end())) + b.after;
        BitmapPtr bitmap;
        ASSERT_EQ(LoadBytes(std::vector<BYTE>(file.begin(), file.end()), &bitmap), Ok);
        EXPECT_EQ(GetItem(bitmap.get(), PropertyTagXmpPacket).has_value(), b.xmpKept);
        EXPECT_FALSE(GetItem(bitmap.get(), PropertyTagExifBlock).has_value());
    }
}

}  // namespace

#include "image/encoder_search.h"

#include <string>

#include "image/ansi_path.h"
#include "platform/kernel/path_extension.h"

using gdiplus::CLSID;
using gdiplus::GUID_NULL;
using gdiplus::ImageCodecInfo;

CPiece ReadPiece(const char16_t* text, int* p, char16_t separator) {
    int length = static_cast<int>(std::char_traits<char16_t>::length(text));
    if (*p < 0 || *p >= length) {
        *p = -1;
        return {text + length, 0};
    }
    int s = 0;
    while (*p + s < length && text[*p + s] == separator) ++s;
    if (*p + s == length) {
        *p = -1;
        return {text + length, 0};
    }
    int t = 0;
    while (*p + s + t < length && text[*p + s + t] != separator) ++t;
    CPiece piece{text + *p + s, static_cast<size_t>(t)};
    *p = *p + s + t + 1;
    return piece;
}

namespace {

char16_t FoldAsciiCase(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool SameIgnoringAsciiCase(const char16_t* a, const char16_t* b) {
    for (; *a != 0 && *b != 0; ++a, ++b) {
        if (FoldAsciiCase(*a) != FoldAsciiCase(*b)) return false;
    }
    return *a == *b;
}

}  // namespace

CLSID FindEncoderByExtension(const char* extension, const ImageCodecInfo* encoders, UINT count) {
    CAnsiToWide wanted(extension);
    for (UINT i = 0; i < count; ++i) {
        const char16_t* patterns = encoders[i].FilenameExtension;
        if (patterns == nullptr) continue;
        int p = 0;
        do {
            CPiece piece = ReadPiece(patterns, &p);
            std::u16string pattern(piece.start, piece.length);
            const char16_t* pieceExtension = kernel::PathFindExtensionW(pattern.c_str());
            // The empty piece that ends the list never matches.
            if (p != -1 && SameIgnoringAsciiCase(pieceExtension, wanted.Get())) return encoders[i].Clsid;
        } while (p != -1);
    }
    return GUID_NULL;
}

CLSID FindEncoderByFormat(const gdiplus::GUID& formatId, const ImageCodecInfo* encoders, UINT count) {
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].FormatID == formatId) return encoders[i].Clsid;
    }
    return GUID_NULL;
}

#pragma once
// Choosing an encoder from the library's list: by a file name's extension
// or by a file-format id.

#include "platform/imaging/codec_info.h"

// Reads the next piece of text between separators. From position *p, skips
// a run of separators and yields the run of other characters after it,
// moving *p past that run and one separator. At the end of the text it
// yields an empty piece and sets *p to -1.
struct CPiece {
    const char16_t* start;
    size_t length;
};
CPiece ReadPiece(const char16_t* text, int* p, char16_t separator = u';');

// The class id of the first encoder, in the list's order, one of whose
// file-name patterns has the extension (dot included, as PathFindExtensionA
// gives it, in the ANSI code page) without regard to the case of A to Z;
// GUID_NULL when none has. Widening the extension may throw as
// CAnsiToWide does.
gdiplus::CLSID FindEncoderByExtension(const char* extension, const gdiplus::ImageCodecInfo* encoders, UINT count);

// The class id of the first encoder whose format id equals formatId;
// GUID_NULL when none does.
gdiplus::CLSID FindEncoderByFormat(const gdiplus::GUID& formatId, const gdiplus::ImageCodecInfo* encoders, UINT count);

#pragma once
// Library-internal: the encoders the list describes and saving uses.

#include "platform/imaging/encoders.h"
#include "platform/imaging/guid.h"

namespace gdiplus {

struct EncoderEntry {
    CLSID clsid;
    GUID formatId;
    const char16_t* codecName;
    const char16_t* formatDescription;
    const char16_t* extensions;
    const char16_t* mimeType;
    DWORD signatureCount;
    DWORD signatureSize;
    const BYTE* signatures;  // signatureCount patterns of signatureSize bytes
    Encoder encode;
    const BYTE* masks = nullptr;  // as many bytes as the patterns; null: every byte counts
};

// The encoder with that class id, or null.
const EncoderEntry* FindEncoder(const CLSID& clsid);

}  // namespace gdiplus

#include "platform/gdi/dib_reader.h"

namespace gdi {

DibHeaderResult ReadDibHeader(std::span<const BYTE> bytes, DibHeader* header) {
    if (bytes.size() < 4) return DibHeaderResult::malformed;
    const BYTE* p = bytes.data();
    DibHeader h;
    h.headerBytes = DibDword(p);
    if (h.headerBytes > bytes.size()) return DibHeaderResult::malformed;
    std::int64_t height = 0;
    if (h.headerBytes == 12) {
        h.width = DibWord(p + 4);
        height = DibWord(p + 6);
        h.planes = DibWord(p + 8);
        h.bitCount = DibWord(p + 10);
        h.paletteEntryBytes = 3;
    } else if (h.headerBytes >= 40) {
        h.width = static_cast<LONG>(DibDword(p + 4));
        height = static_cast<LONG>(DibDword(p + 8));
        h.planes = DibWord(p + 12);
        h.bitCount = DibWord(p + 14);
        h.compression = DibDword(p + 16);
        h.colorsUsed = DibDword(p + 32);
        if (h.headerBytes >= 52) {
            for (int i = 0; i < 3; ++i) h.masks[i] = DibDword(p + 40 + 4 * i);
            h.hasMasks = true;
        }
        if (h.headerBytes >= 56) h.masks[3] = DibDword(p + 52);
    } else {
        return DibHeaderResult::unknownKind;
    }
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    *header = h;
    return DibHeaderResult::ok;
}

}  // namespace gdi

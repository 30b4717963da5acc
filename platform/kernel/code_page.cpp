#include "platform/kernel/code_page.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "platform/kernel/code_page_table.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/locale.h"

namespace kernel {
namespace {

constexpr char16_t escapeBase = 0xDC00;

const char* NativeUtf16() { return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE"; }

UINT ResolveCodePage(UINT codePage) {
    if (codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP) return GetACP();
    return codePage;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Decodes one UTF-8 sequence at text[0..length). Returns its length, or 0
// when the bytes there do not start a valid, shortest-form sequence of a
// scalar value.
size_t Utf8Sequence(const unsigned char* text, size_t length, char32_t* value) {
    unsigned char lead = text[0];
    if (lead < 0x80) {
        *value = lead;
        return 1;
    }
    size_t count;
    char32_t cp;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (length < count) return 0;
    for (size_t i = 1; i < count; ++i) {
        if ((text[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (text[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *value = cp;
    return count;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Returns false when the code page cannot be read; *invalid tells whether
// some byte had to be escaped.
bool DecodeUtf8(const char* source, size_t length, std::u16string& out, bool* invalid) {
    const auto* text = reinterpret_cast<const unsigned char*>(source);
    size_t i = 0;
    while (i < length) {
        char32_t cp;
        size_t used = Utf8Sequence(text + i, length - i, &cp);
        if (used == 0) {
            *invalid = true;
            out += static_cast<char16_t>(escapeBase + text[i]);
            ++i;
        } else {
            AppendUtf16(out, cp);
            i += used;
        }
    }
    return true;
}

bool DecodeWithIconv(const char* charset, const char* source, size_t length, std::u16string& out, bool* invalid) {
    Iconv cd(NativeUtf16(), charset);
    if (!cd.ok()) return false;
    char* in = const_cast<char*>(source);
    size_t inLeft = length;
    std::u16string chunk(length + 8, u'\0');
    while (inLeft > 0) {
        char* outStart = reinterpret_cast<char*>(chunk.data());
        char* outPtr = outStart;
        size_t outLeft = chunk.size() * sizeof(char16_t);
        size_t result = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), static_cast<size_t>(outPtr - outStart) / sizeof(char16_t));
        if (result != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): escape one byte
        // and carry on after it.
        *invalid = true;
        out += static_cast<char16_t>(escapeBase + static_cast<unsigned char>(*in));
        ++in;
        --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

bool Decode(UINT codePage, const char* source, size_t length, std::u16string& out, bool* invalid) {
    if (codePage == CP_UTF8) return DecodeUtf8(source, length, out, invalid);
    const char* charset = CodePageCharset(codePage);
    return charset != nullptr && DecodeWithIconv(charset, source, length, out, invalid);
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Encodes a run of UTF-16 text without escapes; false when some character
// has no form in the code page.
bool EncodeRun(UINT codePage, const char16_t* run, size_t length, std::string& out) {
    if (length == 0) return true;
    if (codePage == CP_UTF8) {
        for (size_t i = 0; i < length; ++i) {
            char32_t cp = run[i];
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (run[i + 1] - 0xDC00);
                ++i;
            }
            AppendUtf8(out, cp);
        }
        return true;
    }
    const char* charset = CodePageCharset(codePage);
    if (charset == nullptr) return false;
    Iconv cd(charset, NativeUtf16());
    if (!cd.ok()) return false;
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(run));
    size_t inLeft = length * sizeof(char16_t);
    std::string chunk(length * 4 + 16, '\0');
    while (inLeft > 0) {
        char* outPtr = chunk.data();
        size_t outLeft = chunk.size();
        size_t result = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), static_cast<size_t>(outPtr - chunk.data()));
        if (result != static_cast<size_t>(-1)) break;
        if (errno != E2BIG) return false;
    }
    // Flush any shift state.
    char* outPtr = chunk.data();
    size_t outLeft = chunk.size();
    iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(chunk.data(), static_cast<size_t>(outPtr - chunk.data()));
    return true;
}

// *unmappable is set when the text holds a character the code page lacks
// or an unpaired surrogate that stands for no byte.
bool Encode(UINT codePage, const char16_t* source, size_t length, std::string& out, bool* unmappable) {
    size_t runStart = 0;
    for (size_t i = 0; i < length; ++i) {
        char16_t unit = source[i];
        bool high = unit >= 0xD800 && unit <= 0xDBFF;
        bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < length && source[i + 1] >= 0xDC00 && source[i + 1] <= 0xDFFF) {
            ++i;  // a proper pair stays in the run
            continue;
        }
        if (!high && !low) continue;
        if (!EncodeRun(codePage, source + runStart, i - runStart, out)) {
            *unmappable = true;
            return false;
        }
        if (high || unit > escapeBase + 0xFF) {
            *unmappable = true;
            return false;
        }
        out += static_cast<char>(unit - escapeBase);
        runStart = i + 1;
    }
    if (!EncodeRun(codePage, source + runStart, length - runStart, out)) {
        *unmappable = true;
        return false;
    }
    return true;
}

// The conversions' common end: the length a caller asks for (capacity 0),
// or the converted units copied out; 0 with the error when they do not fit.
template <typename Text, typename Unit>
int CopyOut(const Text& converted, Unit* target, int capacity) {
    if (converted.size() > INT_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(converted.size());
    if (capacity == 0) return needed;
    if (capacity < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(target, converted.data(), converted.size() * sizeof(Unit));
    return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int cbMultiByte, WCHAR* target,
                        int cchWideChar) {
    if (source == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && target == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((flags & ~(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    codePage = ResolveCodePage(codePage);
    size_t length = cbMultiByte == -1 ? std::strlen(source) + 1 : static_cast<size_t>(cbMultiByte);

    try {
        std::u16string wide;
        bool invalid = false;
        if (!Decode(codePage, source, length, wide, &invalid)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (invalid && (flags & MB_ERR_INVALID_CHARS) != 0) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        return CopyOut(wide, target, cchWideChar);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int cchWideChar, char* target, int cbMultiByte,
                        const char* /*defaultChar*/, BOOL* usedDefaultChar) {
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    if (source == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && target == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((flags & ~(WC_ERR_INVALID_CHARS | WC_NO_BEST_FIT_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    codePage = ResolveCodePage(codePage);
    if (codePage != CP_UTF8 && CodePageCharset(codePage) == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length =
        cchWideChar == -1 ? std::char_traits<char16_t>::length(source) + 1 : static_cast<size_t>(cchWideChar);
    try {
        std::string bytes;
        bool unmappable = false;
        if (!Encode(codePage, source, length, bytes, &unmappable)) {
            SetLastError(unmappable ? ERROR_NO_UNICODE_TRANSLATION : ERROR_INVALID_PARAMETER);
            return 0;
        }
        return CopyOut(bytes, target, cbMultiByte);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

BOOL IsDBCSLeadByte(BYTE testChar) {
    switch (GetACP()) {
        case 932: return (testChar >= 0x81 && testChar <= 0x9F) || (testChar >= 0xE0 && testChar <= 0xFC);
        case 936:
        case 949:
        case 950: return testChar >= 0x81 && testChar <= 0xFE;
        default: return FALSE;
    }
}

}  // namespace kernel

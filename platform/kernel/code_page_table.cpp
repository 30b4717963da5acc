#include "platform/kernel/code_page_table.h"

#include <array>
#include <cctype>
#include <string>

namespace kernel {
namespace {

struct CodePageEntry {
    UINT codePage;
    const char* charset;  // iconv's name
    // Character-set names of locales, normalised (upper case, no separators).
    std::array<const char*, 5> aliases;
};

constexpr CodePageEntry codePages[] = {
    {65001, "UTF-8", {"UTF8"}},
    {932, "CP932", {"SJIS", "SHIFTJIS", "CP932", "WINDOWS31J", "MSKANJI"}},
    {20932, "EUC-JP", {"EUCJP", "UJIS"}},
    {936, "CP936", {"GBK", "CP936", "GB2312", "EUCCN"}},
    {54936, "GB18030", {"GB18030"}},
    {949, "CP949", {"EUCKR", "CP949", "UHC"}},
    {950, "CP950", {"BIG5", "CP950", "BIG5HKSCS"}},
    {874, "CP874", {"TIS620", "CP874"}},
    {1250, "CP1250", {"CP1250", "WINDOWS1250"}},
    {1251, "CP1251", {"CP1251", "WINDOWS1251"}},
    {1252, "CP1252", {"CP1252", "WINDOWS1252"}},
    {1253, "CP1253", {"CP1253", "WINDOWS1253"}},
    {1254, "CP1254", {"CP1254", "WINDOWS1254"}},
    {1255, "CP1255", {"CP1255", "WINDOWS1255"}},
    {1256, "CP1256", {"CP1256", "WINDOWS1256"}},
    {1257, "CP1257", {"CP1257", "WINDOWS1257"}},
    {1258, "CP1258", {"CP1258", "WINDOWS1258"}},
    {20866, "KOI8-R", {"KOI8R"}},
    {21866, "KOI8-U", {"KOI8U"}},
    {20127, "ANSI_X3.4-1968", {"ANSIX341968", "ASCII", "USASCII"}},
    {28591, "ISO-8859-1", {"ISO88591", "LATIN1"}},
    {28592, "ISO-8859-2", {"ISO88592", "LATIN2"}},
    {28593, "ISO-8859-3", {"ISO88593"}},
    {28594, "ISO-8859-4", {"ISO88594"}},
    {28595, "ISO-8859-5", {"ISO88595"}},
    {28596, "ISO-8859-6", {"ISO88596"}},
    {28597, "ISO-8859-7", {"ISO88597"}},
    {28598, "ISO-8859-8", {"ISO88598"}},
    {28599, "ISO-8859-9", {"ISO88599", "LATIN5"}},
    {28603, "ISO-8859-13", {"ISO885913"}},
    {28605, "ISO-8859-15", {"ISO885915", "LATIN9"}},
};

std::string Normalised(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_' || c == '.' || c == ' ') continue;
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

const char* CodePageCharset(UINT codePage) {
    for (const CodePageEntry& entry : codePages) {
        if (entry.codePage == codePage) return entry.charset;
    }
    return nullptr;
}

UINT CodePageOfCharset(std::string_view charset) {
    std::string key = Normalised(charset);
    if (key.empty()) return 0;
    for (const CodePageEntry& entry : codePages) {
        for (const char* alias : entry.aliases) {
            if (alias != nullptr && key == alias) return entry.codePage;
        }
    }
    return 0;
}

}  // namespace kernel

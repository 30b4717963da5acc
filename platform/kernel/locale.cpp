#include "platform/kernel/locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/kernel/code_page_table.h"
#include "platform/kernel/last_error.h"

namespace kernel {
namespace {

constexpr UINT utf8CodePage = 65001;
constexpr LCID englishUs = 0x0409;

struct LanguageEntry {
    const char* name;  // language, or language_TERRITORY
    LCID locale;
    UINT windowsCodePage;
};

// More specific names first: the first entry whose name the locale starts
// with wins.
constexpr LanguageEntry languages[] = {
    {"en_GB", 0x0809, 1252}, {"en", 0x0409, 1252}, {"ja", 0x0411, 932},  {"zh_TW", 0x0404, 950},
    {"zh_HK", 0x0C04, 950},  {"zh", 0x0804, 936},  {"ko", 0x0412, 949},  {"de", 0x0407, 1252},
    {"fr", 0x040C, 1252},    {"es", 0x0C0A, 1252}, {"it", 0x0410, 1252}, {"nl", 0x0413, 1252},
    {"pt_BR", 0x0416, 1252}, {"pt", 0x0816, 1252}, {"sv", 0x041D, 1252}, {"ru", 0x0419, 1251},
    {"uk", 0x0422, 1251},    {"pl", 0x0415, 1250}, {"cs", 0x0405, 1250}, {"hu", 0x040E, 1250},
    {"el", 0x0408, 1253},    {"tr", 0x041F, 1254}, {"he", 0x040D, 1255}, {"ar", 0x0401, 1256},
    {"th", 0x041E, 874},     {"vi", 0x042A, 1258},
};

std::string_view EnvironmentLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "C";
}

bool IsPlainCLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("POSIX.");
}

// The character set a locale name carries ("ja_JP.SJIS@mod" -> "SJIS"), or
// what the C library says the locale uses when the name carries none.
std::string CharsetOf(std::string_view name) {
    size_t dot = name.find('.');
    if (dot != std::string_view::npos) {
        std::string_view rest = name.substr(dot + 1);
        return std::string(rest.substr(0, rest.find('@')));
    }
    std::string owned(name);
    locale_t loc = newlocale(LC_CTYPE_MASK, owned.c_str(), static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return {};
    std::string charset = nl_langinfo_l(CODESET, loc);
    freelocale(loc);
    return charset;
}

const LanguageEntry* LanguageOf(std::string_view name) {
    for (const LanguageEntry& entry : languages) {
        std::string_view prefix = entry.name;
        if (!name.starts_with(prefix)) continue;
        if (name.size() == prefix.size()) return &entry;
        char next = name[prefix.size()];
        if (next == '_' || next == '.' || next == '@') return &entry;
    }
    return nullptr;
}

const LanguageEntry* LanguageByLocale(LCID locale) {
    for (const LanguageEntry& entry : languages) {
        if (entry.locale == locale) return &entry;
    }
    return nullptr;
}

}  // namespace

LCID GetThreadLocale() {
    std::string_view name = EnvironmentLocale();
    if (IsPlainCLocale(name)) return englishUs;
    const LanguageEntry* language = LanguageOf(name);
    return language != nullptr ? language->locale : englishUs;
}

UINT GetACP() {
    std::string_view name = EnvironmentLocale();
    if (IsPlainCLocale(name)) return utf8CodePage;
    UINT codePage = CodePageOfCharset(CharsetOf(name));
    return codePage != 0 ? codePage : utf8CodePage;
}

int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData) {
    if (cchData < 0 || (cchData > 0 && data == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((type & ~LOCALE_NOUSEROVERRIDE) != LOCALE_IDEFAULTANSICODEPAGE) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }

    UINT codePage = 0;
    if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == GetThreadLocale()) {
        codePage = GetACP();
    } else if (locale == LOCALE_INVARIANT) {
        codePage = 1252;
    } else if (const LanguageEntry* language = LanguageByLocale(locale)) {
        codePage = language->windowsCodePage;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }

    char text[16];
    int length = std::snprintf(text, sizeof text, "%u", codePage);
    int needed = length + 1;
    if (cchData == 0) return needed;
    if (cchData < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, text, static_cast<size_t>(needed));
    return needed;
}

}  // namespace kernel

#include "document/FileNames.h"
#include <cstring>

namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code point at utf8[i], moving i past it; false for bytes that are no
// UTF-8.
bool NextCodePoint(const std::string& utf8, size_t& i, char32_t& c) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    int follow;
    char32_t least;
    if (lead < 0x80) { c = lead; ++i; return true; }
    if (lead >= 0xC2 && lead <= 0xDF) { follow = 1; c = lead & 0x1F; least = 0x80; }
    else if (lead >= 0xE0 && lead <= 0xEF) { follow = 2; c = lead & 0x0F; least = 0x800; }
    else if (lead >= 0xF0 && lead <= 0xF4) { follow = 3; c = lead & 0x07; least = 0x10000; }
    else return false;
    if (utf8.size() - i <= static_cast<size_t>(follow)) return false;
    for (int k = 1; k <= follow; ++k) {
        const unsigned char b = static_cast<unsigned char>(utf8[i + k]);
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < least || c > 0x10FFFF || IsSurrogate(c)) return false;
    i += static_cast<size_t>(follow) + 1;
    return true;
}

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool Utf16FromUtf8(const std::string& utf8, std::u16string& out) {
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        if (!NextCodePoint(utf8, i, c)) return false;
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return true;
}

bool Utf8FromUtf16(const char16_t* utf16, size_t count, std::string& out) {
    out = Utf8Loosely(utf16, count);
    std::u16string back;
    return Utf16FromUtf8(out, back);   // only a lone surrogate fails the strict reading
}

std::string Utf8Loosely(const char16_t* utf16, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        Append(out, c);
    }
    return out;
}

bool FitsSystemPath(const std::string& utf8) {
    std::u16string wide;
    return Utf16FromUtf8(utf8, wide) && wide.size() < static_cast<size_t>(PathUnits);
}

std::string TitleOfPath(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool HasExtension(const char* name, const char* ext) {
    const char* dot = name ? std::strrchr(name, '.') : nullptr;
    if (!dot) return false;
    const char* have = dot + 1;
    for (; *have && *ext; ++have, ++ext) {
        char c = *have;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        char w = *ext;
        if (w >= 'A' && w <= 'Z') w = static_cast<char>(w - 'A' + 'a');
        if (c != w) return false;
    }
    return *have == '\0' && *ext == '\0';
}

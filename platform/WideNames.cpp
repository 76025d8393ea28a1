#include "platform/WideNames.h"
#include "document/FileNames.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the system's wide characters are UTF-16 units");

bool WidePath(const std::string& utf8, wchar_t (&wide)[MAX_PATH]) {
    std::u16string units;
    if (!FitsSystemPath(utf8) || !Utf16FromUtf8(utf8, units)) return false;
    units.copy(reinterpret_cast<char16_t*>(wide), units.size());
    wide[units.size()] = L'\0';
    return true;
}

std::wstring WideText(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string Utf8Text(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

bool Utf8Name(const wchar_t* wide, std::string& utf8) {
    return Utf8FromUtf16(reinterpret_cast<const char16_t*>(wide), wide ? lstrlenW(wide) : 0, utf8);
}

const wchar_t* AfterProgramName(const wchar_t* commandLine) {
    const wchar_t* p = commandLine ? commandLine : L"";
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p > L' ') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

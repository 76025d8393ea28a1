#include "platform/WideNames.h"
#include "document/FileNames.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the system's wide characters are UTF-16 units");

bool WidePath(const std::string& utf8, wchar_t (&wide)[MAX_PATH]) {
    std::u16string units;
    if (!Utf16FromUtf8(utf8, units) || units.size() >= MAX_PATH) return false;
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
    return Utf8Loosely(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
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

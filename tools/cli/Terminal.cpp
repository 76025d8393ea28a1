#include "tools/cli/Terminal.h"
#include <cerrno>
#include <cstdarg>
#include <vector>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include "document/FileNames.h"
#endif

#ifdef _WIN32
std::FILE* OpenForReading(const std::string& path) {
    std::u16string name;
    if (!Utf16FromUtf8(path, name)) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(reinterpret_cast<const wchar_t*>(name.c_str()), L"rb");
}

void Print(std::FILE* to, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vector<char> text(256);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(text.data(), text.size(), format, args);
    if (n >= static_cast<int>(text.size())) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
    }
    va_end(again);
    va_end(args);
    if (n <= 0) return;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to)));
    DWORD mode;
    if (!GetConsoleMode(handle, &mode)) {
        std::fwrite(text.data(), 1, static_cast<size_t>(n), to);
        return;
    }
    std::fflush(to);
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), n, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(units) + 1);
    MultiByteToWideChar(CP_UTF8, 0, text.data(), n, wide.data(), units);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(units), &written, nullptr);
}
#else
std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

void Print(std::FILE* to, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(to, format, args);
    va_end(args);
}
#endif

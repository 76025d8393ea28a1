#include "tools/cli/Terminal.h"
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include "document/FileNames.h"
#else
#include <unistd.h>
#endif

namespace {

// What a batch's task printed, in order, with where it was printed to.
using Record = std::vector<std::pair<std::FILE*, std::string>>;
thread_local Record* Recording = nullptr;

std::string Formatted(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    std::vector<char> text(256);
    const int n = std::vsnprintf(text.data(), text.size(), format, args);
    if (n >= static_cast<int>(text.size())) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
    }
    va_end(again);
    return n > 0 ? std::string(text.data(), static_cast<size_t>(n)) : std::string();
}

void Write(std::FILE* to, const std::string& text) {
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to)));
    DWORD mode;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(to);
        const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(units) + 1);
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(units), &written, nullptr);
        return;
    }
#endif
    std::fwrite(text.data(), 1, text.size(), to);
}

}  // namespace

#ifdef _WIN32
std::FILE* OpenForReading(const std::string& path) {
    std::u16string name;
    if (!Utf16FromUtf8(path, name)) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(reinterpret_cast<const wchar_t*>(name.c_str()), L"rb");
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}
#else
std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }
#endif

void Print(std::FILE* to, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = Formatted(format, args);
    va_end(args);
    if (text.empty()) return;
    if (Recording) Recording->emplace_back(to, std::move(text));
    else Write(to, text);
}

int RunBatch(size_t count, const std::function<int(size_t)>& each) {
    struct Done { bool Ready = false; int Result = 0; Record Printed; };
    std::vector<Done> done(count);
    std::mutex lock;
    std::condition_variable ready;
    std::atomic<size_t> next(0);
    const size_t workers = std::max<size_t>(1, std::min<size_t>(count, std::thread::hardware_concurrency()));
    auto work = [&] {
        for (size_t k; (k = next++) < count;) {
            Record printed;
            Recording = &printed;
            const int result = each(k);
            Recording = nullptr;
            std::lock_guard<std::mutex> hold(lock);
            done[k].Result = result;
            done[k].Printed = std::move(printed);
            done[k].Ready = true;
            ready.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (size_t t = 0; t < workers; ++t) threads.emplace_back(work);
    // The records in order, as they come; the progress after a while.
    const auto start = std::chrono::steady_clock::now();
    const char* after = std::getenv("PIXTOR_PROGRESS_AFTER");
    const auto wait = std::chrono::milliseconds(after ? std::atoi(after) : 1000);
    const bool tell = IsTerminal(stderr) && count > 1;
    bool told = false;
    int failed = 0;
    for (size_t k = 0; k < count; ++k) {
        std::unique_lock<std::mutex> hold(lock);
        while (!done[k].Ready) ready.wait_for(hold, std::chrono::milliseconds(200));
        Record printed = std::move(done[k].Printed);
        failed += done[k].Result != 0;
        hold.unlock();
        if (told && !printed.empty()) Write(stderr, "\r\033[K");
        for (const auto& p : printed) Write(p.first, p.second);
        if (tell && std::chrono::steady_clock::now() - start >= wait) {
            Write(stderr, "\rpixtor-cli: " + std::to_string(k + 1) + " of " + std::to_string(count) + " files done");
            told = true;
        }
    }
    if (told) Write(stderr, "\r\033[K");
    for (std::thread& t : threads) t.join();
    return failed;
}

#include "tools/cli/Terminal.h"
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>
#include "formats/FileErrors.h"
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

namespace {

// The progress line on standard error, and taking it away again: a line
// written over with blanks, which every terminal and console shows alike.
class Progress {
public:
    explicit Progress(size_t files) : count(files), tell(IsTerminal(stderr) && files > 1) {
        const char* after = std::getenv("PIXTOR_PROGRESS_AFTER");
        wait = std::chrono::milliseconds(after ? std::atoi(after) : 1000);
    }
    void Show(size_t done) {
        if (!tell || done == shown || std::chrono::steady_clock::now() - start < wait) return;
        const std::string line = "pixtor-cli: " + std::to_string(done) + " of " + std::to_string(count) + " files done";
        Write(stderr, "\r" + line);
        width = line.size();
        shown = done;
    }
    void Clear() {
        if (width) Write(stderr, "\r" + std::string(width, ' ') + "\r");
        width = 0;
        shown = static_cast<size_t>(-1);
    }

private:
    const size_t count;
    const bool tell;
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::milliseconds wait{1000};
    size_t shown = static_cast<size_t>(-1), width = 0;
};

// A task's printing goes to its record while it runs, whatever way it ends.
struct RecordingInto {
    explicit RecordingInto(Record& record) { Recording = &record; }
    ~RecordingInto() { Recording = nullptr; }
};

}  // namespace

int RunBatch(size_t count, const std::function<int(size_t)>& each) {
    struct Done { bool Ready = false; int Result = 0; Record Printed; };
    std::vector<Done> done(count);
    std::mutex lock;
    std::condition_variable ready;
    std::atomic<size_t> next(0), finished(0);
    auto work = [&] {
        for (size_t k; (k = next++) < count;) {
            Record printed;
            int result = 1;
            {
                RecordingInto into(printed);
                try {
                    result = each(k);
                } catch (const std::bad_alloc&) {
                    Print(stderr, "%s\n", FileErrorMessage(FileNoMemory));
                } catch (const std::exception& e) {
                    Print(stderr, "pixtor-cli: %s\n", e.what());
                } catch (...) {
                    Print(stderr, "pixtor-cli: the file could not be done\n");
                }
            }
            std::lock_guard<std::mutex> hold(lock);
            done[k].Result = result;
            done[k].Printed = std::move(printed);
            done[k].Ready = true;
            ++finished;
            ready.notify_all();
        }
    };
    // Every thread is joined however this ends; a thread the system will not
    // give leaves the work to those it did, or to this one.
    struct Joined {
        std::vector<std::thread> threads;
        ~Joined() {
            for (std::thread& t : threads) t.join();
        }
    } pool;
    const size_t workers = std::max<size_t>(1, std::min<size_t>(count, std::thread::hardware_concurrency()));
    for (size_t t = 0; t < workers; ++t) {
        try {
            pool.threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    if (pool.threads.empty()) work();
    // The records in order, as they come; the progress while they do.
    Progress progress(count);
    int failed = 0;
    for (size_t k = 0; k < count; ++k) {
        std::unique_lock<std::mutex> hold(lock);
        while (!done[k].Ready) {
            ready.wait_for(hold, std::chrono::milliseconds(100));
            hold.unlock();
            progress.Show(finished);
            hold.lock();
        }
        Record printed = std::move(done[k].Printed);
        failed += done[k].Result != 0;
        hold.unlock();
        if (!printed.empty()) progress.Clear();
        for (const auto& p : printed) Write(p.first, p.second);
        progress.Show(finished);
    }
    progress.Clear();
    return failed;
}

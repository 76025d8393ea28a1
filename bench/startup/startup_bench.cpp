// Start-up figures: how long a Windows program takes from CreateProcess
// until its first paint is done and its message loop idles
// (WaitForInputIdle), and how long it then takes to end after WM_CLOSE.
//
// usage: startup-bench RUNS EXE TITLE [EXE TITLE ...]
// Each program is started RUNS times, the programs taking turns so that a
// slow patch of the machine falls on all of them alike; one cold start of
// each comes first and is reported apart.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string exe;
    std::string title;
    std::vector<double> startMs;
    std::vector<double> closeMs;
    double coldMs = -1;
    int failures = 0;
    int terminated = 0;
};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct FindRequest {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam)
{
    auto* request = reinterpret_cast<FindRequest*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (pid == request->processId && std::string(title) == request->title) {
        request->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The program's own top-level window with the title; a window of another
// process with the same title is not ours to close.
HWND FindProgramWindow(DWORD processId, const char* title)
{
    FindRequest request{processId, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

// One start: returns false if the program did not reach its idle loop.
bool RunOnce(Program& program, double* startMs, double* closeMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string commandLine = "\"" + program.exe + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');

    const double t0 = Now();
    if (!CreateProcessA(program.exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.exe.c_str(), GetLastError());
        return false;
    }
    const DWORD idle = WaitForInputIdle(pi.hProcess, 30000);
    const double t1 = Now();
    bool ok = idle == 0;
    if (!ok)
        std::fprintf(stderr, "%s: WaitForInputIdle returned %lu\n", program.exe.c_str(), idle);
    *startMs = t1 - t0;

    // The window is there once the loop idles, but allow a moment anyway.
    HWND hwnd = nullptr;
    for (int i = 0; i < 50 && !hwnd; ++i) {
        hwnd = FindProgramWindow(pi.dwProcessId, program.title.c_str());
        if (!hwnd)
            Sleep(100);
    }
    const double t2 = Now();
    if (hwnd)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    else
        std::fprintf(stderr, "%s: no window titled \"%s\"\n", program.exe.c_str(),
                     program.title.c_str());
    if (WaitForSingleObject(pi.hProcess, hwnd ? 15000 : 0) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        ++program.terminated;
    }
    *closeMs = Now() - t2;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ok && hwnd;
}

void PrintFigures(const char* what, const std::string& exe, std::vector<double> ms)
{
    if (ms.empty()) {
        std::printf("%-12s %-14s no successful runs\n", what, exe.c_str());
        return;
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    // The 90th percentile shows a slow second mode that the median hides.
    std::printf("%-12s %-14s runs %2zu  median %8.1f ms  p90 %8.1f ms  min %8.1f ms  max %8.1f ms\n", what,
                exe.c_str(), n, median, ms[(n * 9) / 10 < n ? (n * 9) / 10 : n - 1], ms.front(), ms.back());
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: startup-bench RUNS EXE TITLE [EXE TITLE ...]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<Program> programs;
    for (int i = 2; i + 1 < argc; i += 2) {
        Program p;
        p.exe = argv[i];
        p.title = argv[i + 1];
        programs.push_back(p);
    }

    for (int round = -1; round < runs; ++round) {
        for (Program& p : programs) {
            double startMs = 0, closeMs = 0;
            if (!RunOnce(p, &startMs, &closeMs)) {
                ++p.failures;
                continue;
            }
            if (round < 0) {
                p.coldMs = startMs;
            } else {
                p.startMs.push_back(startMs);
                p.closeMs.push_back(closeMs);
            }
        }
    }

    std::printf("Start-up: CreateProcess until WaitForInputIdle returns (first paint done, loop idle)\n");
    for (const Program& p : programs) {
        if (p.coldMs >= 0)
            std::printf("%-12s %-14s first start %8.1f ms (not counted below)\n", "cold",
                        BaseName(p.exe).c_str(), p.coldMs);
        PrintFigures("start-up", BaseName(p.exe), p.startMs);
    }
    std::printf("Close: WM_CLOSE posted until the process has ended\n");
    int failed = 0;
    for (const Program& p : programs) {
        PrintFigures("close", BaseName(p.exe), p.closeMs);
        if (p.failures || p.terminated)
            std::printf("%-12s %-14s %d failed runs, %d ended by TerminateProcess\n", "problems",
                        BaseName(p.exe).c_str(), p.failures, p.terminated);
        failed += p.failures;
    }
    return failed ? 1 : 0;
}

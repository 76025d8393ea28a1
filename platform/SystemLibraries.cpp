#include "platform/SystemLibraries.h"

namespace {

// The entry point `name` of the system library `dll`, loaded on first use
// and kept for the rest of the run.
template <typename Function>
Function Entry(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module) module = LoadLibraryA(dll);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

template <typename Function>
Function Comdlg(const char* name) {
    static_assert(sizeof(Function) == sizeof(void*), "an entry point is one pointer");
    return Entry<Function>("comdlg32.dll", name);
}

}  // namespace

BOOL WINAPI LateGetOpenFileNameA(OPENFILENAMEA* ofn) {
    static auto f = Comdlg<BOOL(WINAPI*)(OPENFILENAMEA*)>("GetOpenFileNameA");
    return f ? f(ofn) : FALSE;
}

BOOL WINAPI LateGetSaveFileNameA(OPENFILENAMEA* ofn) {
    static auto f = Comdlg<BOOL(WINAPI*)(OPENFILENAMEA*)>("GetSaveFileNameA");
    return f ? f(ofn) : FALSE;
}

BOOL WINAPI LateChooseColorA(CHOOSECOLORA* cc) {
    static auto f = Comdlg<BOOL(WINAPI*)(CHOOSECOLORA*)>("ChooseColorA");
    return f ? f(cc) : FALSE;
}

// Without the library the title is the name after the last separator, as
// the system gives it.
short LateGetFileTitleA(const char* file, char* title, WORD size) {
    static auto f = Comdlg<short(WINAPI*)(LPCSTR, LPSTR, WORD)>("GetFileTitleA");
    if (f) return f(file, title, size);
    const char* base = file;
    for (const char* p = file; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') base = p + 1;
    lstrcpynA(title, base, size);
    return 0;
}

HICON LateExtractIconA(HINSTANCE instance, const char* file, UINT index) {
    static auto f = Entry<HICON(WINAPI*)(HINSTANCE, LPCSTR, UINT)>("shell32.dll", "ExtractIconA");
    return f ? f(instance, file, index) : nullptr;
}

UINT LateDragQueryFileA(HDROP drop, UINT index, char* file, UINT size) {
    static auto f = Entry<UINT(WINAPI*)(HDROP, UINT, LPSTR, UINT)>("shell32.dll", "DragQueryFileA");
    return f ? f(drop, index, file, size) : 0;
}

void LateDragFinish(HDROP drop) {
    static auto f = Entry<void(WINAPI*)(HDROP)>("shell32.dll", "DragFinish");
    if (f) f(drop);
}

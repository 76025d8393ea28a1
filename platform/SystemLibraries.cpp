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

BOOL WINAPI LateGetOpenFileNameW(OPENFILENAMEW* ofn) {
    static auto f = Comdlg<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
    return f ? f(ofn) : FALSE;
}

BOOL WINAPI LateGetSaveFileNameW(OPENFILENAMEW* ofn) {
    static auto f = Comdlg<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetSaveFileNameW");
    return f ? f(ofn) : FALSE;
}

BOOL WINAPI LateChooseColorA(CHOOSECOLORA* cc) {
    static auto f = Comdlg<BOOL(WINAPI*)(CHOOSECOLORA*)>("ChooseColorA");
    return f ? f(cc) : FALSE;
}

HICON LateExtractIconW(HINSTANCE instance, const wchar_t* file, UINT index) {
    static auto f = Entry<HICON(WINAPI*)(HINSTANCE, LPCWSTR, UINT)>("shell32.dll", "ExtractIconW");
    return f ? f(instance, file, index) : nullptr;
}

UINT LateDragQueryFileW(HDROP drop, UINT index, wchar_t* file, UINT size) {
    static auto f = Entry<UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT)>("shell32.dll", "DragQueryFileW");
    return f ? f(drop, index, file, size) : 0;
}

void LateDragFinish(HDROP drop) {
    static auto f = Entry<void(WINAPI*)(HDROP)>("shell32.dll", "DragFinish");
    if (f) f(drop);
}

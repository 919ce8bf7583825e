// Functions of Windows newer than Windows 7 are looked up while the program
// runs, so that the program starts on Windows 7 and uses them where they are.
// DLLs are loaded from the system folder only: the portable exe may be run
// from a Downloads folder, where anyone may have left a DLL of a system name.
#pragma once

#include <windows.h>

#include <bit>
#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The function `name` of the already loaded system DLL `module`, or nullptr
// where this Windows has none. Fn is the function's pointer type.
template <typename Fn> Fn systemFunction(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    return handle ? std::bit_cast<Fn>(GetProcAddress(handle, name)) : nullptr;
}

// SetDefaultDllDirectories, and with it the LOAD_LIBRARY_SEARCH_ flags, is in
// Windows 8 and later, and in Windows 7 with KB2533623; null elsewhere.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
inline SetDefaultDllDirectoriesFn setDefaultDllDirectories() {
    return systemFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
}

// Called first thing at start: from then on every DLL that is loaded by name,
// by the program or by Windows' own DLLs for their imports, comes from
// System32 alone. Without SetDefaultDllDirectories, the current folder at
// least is taken out of the search; the exe's own folder stays in it there.
inline void searchSystemFolderOnly() {
    const SetDefaultDllDirectoriesFn setDefault = setDefaultDllDirectories();
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

// Loads the system DLL `file` ("oleacc.dll") from System32, it and its
// imports. Where LOAD_LIBRARY_SEARCH_SYSTEM32 is not understood (Windows 7
// without KB2533623, where LoadLibraryExW refuses the flag), the DLL is loaded
// by its full path in System32. Null when it cannot be loaded.
inline HMODULE loadSystemLibrary(const wchar_t* file) {
    if (setDefaultDllDirectories())
        return LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + file).c_str());
}

// Functions of Windows newer than Windows 7 are looked up while the program
// runs, so that the program starts on Windows 7 and uses them where they are.
#pragma once

#include <windows.h>

#include <bit>

// The function `name` of the already loaded system DLL `module`, or nullptr
// where this Windows has none. Fn is the function's pointer type.
template <typename Fn> Fn systemFunction(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    return handle ? std::bit_cast<Fn>(GetProcAddress(handle, name)) : nullptr;
}

# The win32 edition: 32-bit Windows (and 64-bit Windows too).
set(CMAKE_SYSTEM_PROCESSOR X86)
set(ZOOMATCH_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

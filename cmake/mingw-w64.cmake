# Cross-compiling for Windows with Debian's MinGW-w64, win32 thread model,
# for the edition whose toolchain file includes this one after naming its
# processor and triplet. The C and C++ runtimes are linked in statically, so
# the program is one exe that needs only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZOOMATCH_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${ZOOMATCH_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${ZOOMATCH_MINGW_TRIPLET}-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

set(CMAKE_FIND_ROOT_PATH /usr/${ZOOMATCH_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

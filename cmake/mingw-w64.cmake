# Cross-compiling for Windows with Debian's MinGW-w64, win32 thread model,
# for the edition whose toolchain file includes this one after naming its
# processor and triplet. The C and C++ runtimes are linked in statically, so
# the program is one exe that needs only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ZOOMATCH_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${ZOOMATCH_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${ZOOMATCH_MINGW_TRIPLET}-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Hardened as Windows expects of a program today: data execution prevention,
# address space randomisation (with high-entropy addresses for win64), and
# aware of terminal servers; the win32 edition may use 4 GB on 64-bit Windows.
# No link time in the header, so that the same sources give the same exe.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
       " -Wl,--nxcompat -Wl,--dynamicbase -Wl,--tsaware -Wl,--no-insert-timestamp")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "X86")
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--large-address-aware")
else()
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--high-entropy-va")
endif()
# Release builds are stripped by the linker, which writes no time either.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
# Paths in the program (__FILE__, debug information) are relative to the
# source folder, wherever the tree lies (a blank in it too); the build trees
# lie inside it.
get_filename_component(zoomatch_source_dir ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_CXX_FLAGS_INIT "\"-ffile-prefix-map=${zoomatch_source_dir}/=\"")

set(CMAKE_FIND_ROOT_PATH /usr/${ZOOMATCH_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

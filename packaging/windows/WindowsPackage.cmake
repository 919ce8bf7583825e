# The Windows program as a self-contained folder: zoomatch.exe with the Qt
# libraries, the windows platform plugin and the MinGW runtime beside it, and
# the licence texts of everything shipped. CPack turns that folder into an
# NSIS installer and a portable ZIP. Included from the top-level CMakeLists.txt.

# A cross build has no windeployqt, so the libraries the program loads are
# named here; the Windows tests check that this is all they need, and no more.
foreach(module Core Gui Widgets)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${module} RUNTIME DESTINATION .)
endforeach()
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin
        LIBRARY DESTINATION platforms RUNTIME DESTINATION platforms)
if(MINGW)
    foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                        OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
            message(FATAL_ERROR "The compiler does not know where ${runtime} is")
        endif()
        install(PROGRAMS ${runtime_path} DESTINATION .)
    endforeach()
endif()

# CPack strips what the project builds; the libraries beside it come with
# their symbols, which a learner's copy has no use for.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        file(GLOB_RECURSE libraries \"\${CMAKE_INSTALL_PREFIX}/*.dll\")
        foreach(library IN LISTS libraries)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${library}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")

# Licences: the program's own, Qt's (LGPL-3.0, which builds on the GPL-3.0
# text of LICENSE), and the GCC runtime and winpthreads as Debian documents them.
# (The cross build from Debian; a build with MSVC and the Qt installer's
# kit ships only the program's own licence.)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
set(qt_licenses ${QT6_INSTALL_PREFIX}/licenses)
if(MINGW AND EXISTS ${qt_licenses}/debian-copyright)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/THIRD-PARTY.txt DESTINATION licenses)
    install(FILES ${qt_licenses}/LGPL-3.0-only.txt ${qt_licenses}/GPL-3.0-only.txt
            DESTINATION licenses/Qt)
    install(FILES ${qt_licenses}/debian-copyright DESTINATION licenses/Qt RENAME copyright.txt)
    install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
            DESTINATION licenses/gcc-runtime RENAME copyright.txt)
    install(FILES /usr/share/doc/mingw-w64-common/copyright
            DESTINATION licenses/winpthreads RENAME copyright.txt)
endif()

set(CPACK_GENERATOR NSIS ZIP)
# The values below hold quotes and backslashes for NSIS; CPack keeps them as they are.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME zoomatch)
set(CPACK_PACKAGE_INSTALL_DIRECTORY zoomatch)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY zoomatch)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME zoomatch)
set(CPACK_NSIS_DISPLAY_NAME "zoomatch")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/window/hamburger.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/window/hamburger.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME zoomatch.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_PACKAGE_EXECUTABLES zoomatch "Биология - науки за животните")
set(CPACK_NSIS_URL_INFO_ABOUT "https://www.example.org/zoomatch")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer: the 32-bit one that makensis writes by default could
# not put a 64-bit program into Program Files. The installer's registry key
# sits under the publisher's; that goes too once it is empty, so that
# uninstalling leaves nothing behind.
set(CPACK_NSIS_DEFINES [=[
Target amd64-unicode
Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX "Software\zoomatch"
FunctionEnd]=])

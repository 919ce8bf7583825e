# The Windows packages of one edition (win32 for i686, win64 for x86_64), made
# by the target windows-packages into <build>/packages/:
#   zoomatch-<version>-<edition>-portable.exe  the program itself, which runs
#                                              from wherever it lies
#   zoomatch-<version>-<edition>-setup.exe     an NSIS installer for all users
#   zoomatch-<version>-<edition>.msi           the same as a Windows Installer
#                                              package (wixl), for Group Policy
#                                              or Intune
# The program's own folder holds zoomatch.exe and the licence texts; the
# installers put it into Program Files and a shortcut into the Start menu,
# and take away all of it, and their registry entries, when uninstalled.
# Included from the top-level CMakeLists.txt.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZOOMATCH_EDITION win64)
    set(ZOOMATCH_NSIS_TARGET amd64-unicode)
    set(ZOOMATCH_MSI_ARCH x64)
    set(ZOOMATCH_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(ZOOMATCH_MSI_WIN64 yes)
else()
    set(ZOOMATCH_EDITION win32)
    set(ZOOMATCH_NSIS_TARGET x86-unicode)
    set(ZOOMATCH_MSI_ARCH x86)
    set(ZOOMATCH_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(ZOOMATCH_MSI_WIN64 no)
endif()
set(ZOOMATCH_SHORTCUT_NAME "Биология - науки за животните")
set(ZOOMATCH_PUBLISHER zoomatch)
set(ZOOMATCH_URL "https://www.example.org/zoomatch")

# Windows Installer codes. The upgrade code names the product for good and is
# shared by both editions; each edition is a product of its own, and each
# component is a different one in either edition (a 64-bit component must not
# share its code with a 32-bit one). The codes are derived, always the same,
# from this namespace.
set(ZOOMATCH_MSI_UPGRADE_CODE 31B22E6A-5A0F-4C83-B871-26858B87BC39)
set(msi_namespace 20d71706-2aab-4891-88b3-2c9d21170555)
foreach(code ProductCode ProgramComponent LicenceComponent RuntimeLicenceComponent)
    string(UUID ZOOMATCH_MSI_${code} NAMESPACE ${msi_namespace}
           NAME "${code} ${ZOOMATCH_EDITION} ${PROJECT_VERSION}" TYPE SHA1 UPPER)
endforeach()

# Licence texts with Windows line ends, so that Notepad before Windows 10
# shows them as lines: the program's own, and those of the MinGW-w64 runtime
# that is linked into the exe, as Debian documents them.
set(windows_dir ${CMAKE_CURRENT_BINARY_DIR}/windows-packaging)
set(licences_dir ${windows_dir}/licences)
function(zoomatch_windows_text source name)
    if(NOT EXISTS ${source})
        message(FATAL_ERROR "${source} is missing: the MinGW-w64 packages are not installed")
    endif()
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${licences_dir}/${name}.new "${text}")
    file(COPY_FILE ${licences_dir}/${name}.new ${licences_dir}/${name} ONLY_IF_DIFFERENT)
    file(REMOVE ${licences_dir}/${name}.new)
endfunction()
zoomatch_windows_text(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)
zoomatch_windows_text(${CMAKE_CURRENT_LIST_DIR}/THIRD-PARTY.txt THIRD-PARTY.txt)
zoomatch_windows_text(/usr/share/doc/gcc-mingw-w64-base/copyright gcc-mingw-w64.txt)
zoomatch_windows_text(/usr/share/doc/mingw-w64-common/copyright mingw-w64.txt)
install(FILES ${licences_dir}/LICENSE.txt ${licences_dir}/THIRD-PARTY.txt DESTINATION .)
install(FILES ${licences_dir}/gcc-mingw-w64.txt ${licences_dir}/mingw-w64.txt
        DESTINATION licenses)

# The installed folder, staged, then packed three ways. The exe is stripped when
# linked (strip would write the time into its header).
set(stage ${windows_dir}/stage)
set(packages ${CMAKE_CURRENT_BINARY_DIR}/packages)
set(package_base zoomatch-${PROJECT_VERSION}-${ZOOMATCH_EDITION})
set(ZOOMATCH_STAGE_WINDOWS_PATH ${stage})
set(ZOOMATCH_ICON_PATH ${PROJECT_SOURCE_DIR}/window/hamburger.ico)
set(ZOOMATCH_NSIS_OUTFILE ${packages}/${package_base}-setup.exe)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zoomatch.nsi.in ${windows_dir}/zoomatch.nsi @ONLY)
configure_file(${ZOOMATCH_ICON_PATH} ${windows_dir}/hamburger.ico COPYONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zoomatch.wxs.in ${windows_dir}/zoomatch.wxs @ONLY)
find_program(ZOOMATCH_MAKENSIS makensis REQUIRED)
find_program(ZOOMATCH_WIXL wixl REQUIRED)
find_program(ZOOMATCH_MSIBUILD msibuild REQUIRED)
# wixl writes a database in no code page, which holds ASCII only; Cyrillic
# names need Windows-1251, set by importing the table _ForceCodepage.
file(WRITE ${windows_dir}/_ForceCodepage.idt "\r\n\r\n1251\t_ForceCodepage\r\n")

set(package_files ${packages}/${package_base}-portable.exe ${ZOOMATCH_NSIS_OUTFILE}
                  ${packages}/${package_base}.msi)
add_custom_command(
    OUTPUT ${package_files}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packages}
    COMMAND ${CMAKE_COMMAND} -E copy ${stage}/zoomatch.exe ${packages}/${package_base}-portable.exe
    COMMAND ${ZOOMATCH_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${windows_dir}/zoomatch.nsi
    COMMAND ${CMAKE_COMMAND} -E chdir ${windows_dir} ${CMAKE_CURRENT_LIST_DIR}/make-msi.sh
            ${ZOOMATCH_MSI_ARCH} zoomatch.wxs ${packages}/${package_base}.msi _ForceCodepage.idt
            ${ZOOMATCH_SHORTCUT_NAME} ${stage}
    DEPENDS zoomatch ${windows_dir}/zoomatch.nsi
            ${windows_dir}/zoomatch.wxs ${licences_dir}/LICENSE.txt
            ${licences_dir}/THIRD-PARTY.txt ${ZOOMATCH_ICON_PATH} ${CMAKE_CURRENT_LIST_DIR}/make-msi.sh
    COMMENT "Packing ${package_base}: portable exe, installer and MSI"
    VERBATIM)
add_custom_target(windows-packages DEPENDS ${package_files})

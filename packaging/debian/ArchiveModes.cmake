# Run by cpack after it has written the Debian package: the package's three
# members (debian-binary, control.tar.*, data.tar.*) carry the modes that the
# umask gave their files while being packed. They become 0644, as dpkg-deb
# writes them, so the package is the same whatever the umask.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    file(SIZE ${package} end)
    set(offset 8) # after "!<arch>\n"
    while(offset LESS end)
        # A member's header: name 16, time 12, owner 6, group 6, mode 8, size 10, "`\n".
        file(READ ${package} header OFFSET ${offset} LIMIT 60)
        string(SUBSTRING "${header}" 48 10 size)
        string(STRIP "${size}" size)
        math(EXPR mode_offset "${offset} + 40")
        execute_process(COMMAND printf "100644  "
                        COMMAND dd of=${package} bs=1 seek=${mode_offset} conv=notrunc status=none
                        COMMAND_ERROR_IS_FATAL ANY)
        # Members start on even offsets.
        math(EXPR offset "${offset} + 60 + ${size} + ${size} % 2")
    endwhile()
endforeach()

# cmake -DSITE=folder -DFILES=a;b;... -DVERSION=x -DTEMPLATE=sw.js.in -P ServiceWorker.cmake
# Writes SITE/sw.js from the template: the files it keeps, and a cache name
# made of the version and a hash of those files, so that any change to any
# of them is a new cache. The page is kept as the site's folder, ./, the
# address that the app starts at.
set(hashes "")
set(quoted "")
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND hashes "${file} ${hash}\n")
    if(file STREQUAL "index.html")
        list(APPEND quoted "'./'")
    else()
        list(APPEND quoted "'${file}'")
    endif()
endforeach()
string(SHA256 HASH "${hashes}")
string(SUBSTRING ${HASH} 0 16 HASH)
list(JOIN quoted ", " FILES)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)

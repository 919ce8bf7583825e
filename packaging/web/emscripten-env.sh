# Sourced by the web build scripts: prepares Debian's emscripten for building
# Qt and the quiz, once per machine, in the cache folder given as $1, and
# exports EMSDK, EM_CONFIG, EM_CACHE and NODE_PATH for the commands that follow.
#
# Debian's emscripten keeps its configuration and its prebuilt library cache
# under /usr/share/emscripten, read-only and frozen. This makes a folder of
# its own with
#   .emscripten        Debian's configuration with a writable cache of our own,
#                      naming "emscripten" (next to it) as the emscripten root,
#                      which is what Qt's CMake files read from $EMSDK;
#   emscripten/        emcc, em++ and the CMake toolchain file, where Qt's
#                      CMake files look for them;
#   cache/             a copy of Debian's prebuilt cache, which already holds
#                      every system library Qt links.
zoomatch_emscripten_env() {
    local cache=$1
    local root=/usr/share/emscripten
    local version
    version=$(tr -d '"\n' <"$root/emscripten-version.txt")
    local dir=$cache/emsdk-$version
    if [ ! -f "$dir/.complete" ]; then
        echo "Preparing emscripten $version in $dir" >&2
        rm -rf "$dir"
        mkdir -p "$dir/emscripten"
        cp -a "$root/cache" "$dir/cache"
        rm -f "$dir/cache/cache.lock"
        for tool in emcc em++ emar emranlib em-config; do
            ln -s "/usr/bin/$tool" "$dir/emscripten/$tool"
        done
        ln -s "$root/cmake" "$dir/emscripten/cmake"
        ln -s "$root/emranlib.py" "$dir/emscripten/emranlib.py"
        # Debian's file has no final newline; the settings below replace its
        # root and its frozen cache.
        {
            sed -e '/^EMSCRIPTEN_ROOT *=/d' -e '/^FROZEN_CACHE *=/d' "$root/.emscripten"
            echo
            echo "EMSCRIPTEN_ROOT = 'emscripten' # relative to this folder"
            echo "FROZEN_CACHE = False"
            echo "CACHE = '$dir/cache'"
        } >"$dir/.emscripten"
        touch "$dir/.complete"
    fi
    export EMSDK=$dir
    export EM_CONFIG=$dir/.emscripten
    export EM_CACHE=$dir/cache
    export EMSCRIPTEN=$root
    # emcc runs parts of itself under Node and needs Debian's acorn, which a
    # Node from elsewhere does not find on its own.
    export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
}

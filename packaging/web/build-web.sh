#!/usr/bin/env bash
# Builds the quiz for web browsers into the static site build-web/: the page
# and its files, the licence, and the note on the source with the project's
# source beside it. Called by ./build.sh web, which installs the Debian
# packages first. Two trees: build-webhost for the build machine, which
# builds the page generator, and build-wasm, compiled with emscripten, which
# runs the generator and builds the rest.
#   build-web.sh [--tests]   --tests also builds the tests in build-wasm
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
testing=OFF
[ "${1:-}" = --tests ] && testing=ON

# Configures and builds one tree quietly; shows the log only when something fails.
build_tree() {
    local dir=$1
    shift
    mkdir -p "$dir"
    if ! { "$@" && cmake --build "$dir"; } >"$dir/build.log" 2>&1; then
        cat "$dir/build.log" >&2
        echo "Build failed; the log above is also in $dir/build.log" >&2
        exit 1
    fi
    # A clean build has nothing to say: any warning fails it.
    if grep -i 'warning' "$dir/build.log" >&2; then
        echo "The build in $dir warned (above; the whole log is $dir/build.log)" >&2
        exit 1
    fi
}

# The trees of CMakePresets.json; the web tree's tests (ctest --preset wasm)
# play the site it builds, build-wasm/window/web/site.
build_tree build-webhost cmake --preset webhost
# emcc runs parts of itself under Node and needs Debian's acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
build_tree build-wasm cmake --preset wasm -DBUILD_TESTING=$testing

site=build-web
rm -rf "$site"
cp -r build-wasm/window/web/site "$site"
cp LICENSE "$site/LICENSE"

# The project's source as built: the files under version control, as they
# stand in the working tree, or the whole tree outside a git checkout.
name=zoomatch-$(sed -n 's/^project(zoomatch VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    revision=$(git rev-parse HEAD)
    git diff --quiet HEAD 2>/dev/null || revision="$revision (with local changes)"
    # The same files give the same archive: sorted, owned by root, dated at
    # the commit (or SOURCE_DATE_EPOCH), modes without the umask's say.
    when=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
    git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --sort=name --mtime="@$when" --owner=0 --group=0 --numeric-owner \
            --mode=u+rw,go+r,go-w,a+X --transform "s,^,$name/," -cf - | gzip -9n >"$site/$name-source.tar.gz"
else
    revision="no git revision"
    tar --exclude='./build*' --exclude=./.git --transform "s,^\.,$name," \
        -czf "$site/$name-source.tar.gz" .
fi
sed -e "s|@NAME@|$name|g" -e "s|@REVISION@|$revision|g" \
    packaging/web/SOURCE.html.in >"$site/SOURCE.html"
# The service worker's cache is named after every file of the site, these too.
build-wasm/window/web/write-service-worker "$site"
echo "The quiz for web browsers is in $site/ (try: python3 -m http.server -b 127.0.0.1 -d $site)"

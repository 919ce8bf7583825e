#!/usr/bin/env bash
# Launch-to-first-frame time and peak memory of the quiz against two floors of
# the toolkit, side by side under one Xvfb:
#   floor_empty  an empty 461x415 window
#   floor_label  a 461x415 label showing one line in the quiz's font
#   zoomatch     the program as shipped, ending once its first frame is shown
# Usage: bench/run-startup.sh [BUILD_DIR]   (default build-bench)
# Needs: Debian packages hyperfine, xvfb, time.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$top/build-bench}")

work=$(mktemp -d)
xvfb=
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
fail() {
    echo "run-startup.sh: $1" >&2
    [ -z "${2:-}" ] || cat "$2" >&2
    exit 1
}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOOMATCH_BENCH=ON \
    -DBUILD_TESTING=OFF >"$work/build.log" 2>&1 || fail "configuring failed" "$work/build.log"
cmake --build "$build" --target zoomatch_firstframe floor_empty floor_label \
    >>"$work/build.log" 2>&1 || fail "building failed" "$work/build.log"

# The same toolkit set-up whatever desktop the script is started from: X11,
# no platform theme, style, scaling or input method chosen from outside, no
# session manager, and no session bus, so that none is started on the fly.
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_IM_MODULE QT_ACCESSIBILITY \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON QT_DEBUG_PLUGINS SESSION_MANAGER WAYLAND_DISPLAY \
    XDG_SESSION_TYPE XDG_CURRENT_DESKTOP DESKTOP_SESSION
export QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled:
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
buses_before=$(pgrep -c -u "$(id -u)" -x dbus-daemon || true)

# Xvfb picks a free display itself and writes its number to fd 3. -noreset:
# otherwise each launch waits for the server to reset after the last client left.
exec 3<>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do
    display=$(head -n 1 "$work/display" 2>/dev/null || true)
    [ -z "$display" ] || break
    kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start" "$work/xvfb.log"
    sleep 0.05
done
exec 3>&-
[ -n "$display" ] || fail "Xvfb gave no display number" "$work/xvfb.log"
export DISPLAY=":$display"

names=(floor_empty floor_label zoomatch)
binaries=("$build/bench/floor_empty" "$build/bench/floor_label" "$build/bench/zoomatch_firstframe")
# Fifteen rounds of a warm-up and three runs, the three programs taking turns,
# so that a drift in the machine's speed falls on all three alike.
for round in $(seq 15); do
    hyperfine -N --warmup 1 --runs 3 --export-json "$work/times.$round.json" \
        -n "${names[0]}" "${binaries[0]}" -n "${names[1]}" "${binaries[1]}" \
        -n "${names[2]}" "${binaries[2]}" >>"$work/hyperfine.log" 2>&1 ||
        fail "hyperfine failed" "$work/hyperfine.log"
done

# Peak resident memory: the median of 11 runs each, in KiB.
for i in 0 1 2; do
    for _ in $(seq 11); do
        /usr/bin/time -f %M "${binaries[$i]}" 2>&1 >/dev/null | tail -n 1
    done | sort -n | sed -n 6p >"$work/rss.${names[$i]}"
done

buses_after=$(pgrep -c -u "$(id -u)" -x dbus-daemon || true)
[ "$buses_after" -le "$buses_before" ] ||
    echo "run-startup.sh: warning: a D-Bus daemon was started during the run" >&2

/usr/bin/python3 - "$work" "${names[@]}" <<'PY'
import glob, json, statistics, sys
work, names = sys.argv[1], sys.argv[2:]
runs = {n: [] for n in names}
for path in glob.glob(f"{work}/times.*.json"):
    for result in json.load(open(path))["results"]:
        runs[result["command"]] += result["times"]
rss = {n: int(open(f"{work}/rss.{n}").read()) for n in names}
print(f"{'program':<12} {'runs':>4} {'median ms':>9} {'mean ms':>8} {'± ms':>5} {'min ms':>7}"
      f" {'peak RSS MiB':>12}")
for n in names:
    t = [x * 1e3 for x in runs[n]]
    print(f"{n:<12} {len(t):4} {statistics.median(t):9.1f} {statistics.mean(t):8.1f}"
          f" {statistics.stdev(t):5.1f} {min(t):7.1f} {rss[n] / 1024:12.1f}")
median = {n: statistics.median(runs[n]) for n in names}
ratio = median["zoomatch"] / median["floor_label"]
extra = (rss["zoomatch"] - rss["floor_label"]) / 1024
print(f"\ntime (medians): zoomatch / floor_label = {ratio:.3f}"
      f"   (target <= 1.10: {'met' if ratio <= 1.10 else 'MISSED'})")
print(f"time (medians): zoomatch / floor_empty = {median['zoomatch'] / median['floor_empty']:.3f}")
print(f"peak RSS: zoomatch - floor_label = {extra:+.1f} MiB"
      f"   (target <= +3 MiB: {'met' if extra <= 3 else 'MISSED'})")
PY

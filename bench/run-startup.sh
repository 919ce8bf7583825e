#!/usr/bin/env bash
# Launch-to-first-frame time and peak memory of the quiz against two floors of
# the toolkit, side by side under one Xvfb:
#   floor_empty  an empty 461x415 window
#   floor_label  a 461x415 label showing one line in the quiz's font
#   zoomatch     the program as shipped, quitting after its first frame
# Usage: bench/run-startup.sh [BUILD_DIR]   (default build-bench)
# Needs: Debian packages hyperfine, xvfb, time.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$top/build-bench}")
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOOMATCH_BENCH=ON \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target zoomatch_firstframe floor_empty floor_label >/dev/null

work=$(mktemp -d)
xvfb=
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# -noreset: otherwise each launch waits for the server to reset after the last client left.
exec 3<>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
until display=$(head -n 1 "$work/display" 2>/dev/null) && [ -n "$display" ]; do sleep 0.05; done
export DISPLAY=":$display" XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
# No session bus, and none started on the fly at show().
export DBUS_SESSION_BUS_ADDRESS=disabled:

names=(floor_empty floor_label zoomatch)
binaries=("$build/bench/floor_empty" "$build/bench/floor_label" "$build/bench/zoomatch_firstframe")
# Fifteen rounds of three runs each, the three programs taking turns, so that
# a drift in the machine's speed falls on all three alike.
for round in $(seq 15); do
    hyperfine -N --warmup 1 --runs 3 --export-json "$work/times.$round.json" \
        -n "${names[0]}" "${binaries[0]}" -n "${names[1]}" "${binaries[1]}" \
        -n "${names[2]}" "${binaries[2]}" >/dev/null 2>>"$work/hyperfine.log"
done

# Peak resident memory: the median of 11 runs each, in KiB.
for i in 0 1 2; do
    for _ in $(seq 11); do
        /usr/bin/time -f %M "${binaries[$i]}" 2>&1 >/dev/null | tail -n 1
    done | sort -n | sed -n 6p >"$work/rss.${names[$i]}"
done

/usr/bin/python3 - "$work" "${names[@]}" <<'PY'
import json, sys
work, names = sys.argv[1], sys.argv[2:]
import glob, statistics
runs = {n: [] for n in names}
for path in glob.glob(f"{work}/times.*.json"):
    for result in json.load(open(path))["results"]:
        runs[result["command"]] += result["times"]
times = {n: {"mean": statistics.mean(t), "stddev": statistics.stdev(t), "median": statistics.median(t),
             "runs": len(t)} for n, t in runs.items()}
rss = {n: int(open(f"{work}/rss.{n}").read()) for n in names}
print(f"{'program':<12} {'runs':>5} {'mean ms':>8} {'± ms':>6} {'median ms':>10} {'peak RSS MiB':>13}")
for n in names:
    t = times[n]
    print(f"{n:<12} {t['runs']:5} {t['mean']*1e3:8.1f} {t['stddev']*1e3:6.1f} {t['median']*1e3:10.1f} {rss[n]/1024:13.1f}")
floor, quiz = times["floor_label"], times["zoomatch"]
ratio = quiz["median"] / floor["median"]
extra = (rss["zoomatch"] - rss["floor_label"]) / 1024
print(f"\ntime (medians): zoomatch / floor_label = {ratio:.3f}   (target <= 1.10: {'met' if ratio <= 1.10 else 'MISSED'})")
print(f"time (medians): zoomatch / floor_empty = {quiz['median'] / times['floor_empty']['median']:.3f}")
print(f"peak RSS: zoomatch - floor_label = {extra:+.1f} MiB   (target <= +3 MiB: {'met' if extra <= 3 else 'MISSED'})")
PY

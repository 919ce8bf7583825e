#!/usr/bin/python3
"""Benchmark of the web build (figures, not a test): the size of
zoomatch.wasm, raw and after gzip -9, and the time from navigation to the
first frame in headless Chromium, served from 127.0.0.1. The first load is a
fresh browser's, which also starts its GPU process and software WebGL; the
later loads, in the same browser with its cache switched off, are the page's
own cost as a visitor's browser that is already running pays it.
   bench.py BUILD-WEB-FOLDER [LOADS]"""
import gzip
import os
import statistics
import sys
import tempfile

from browser import Session

folder = sys.argv[1]
loads = int(sys.argv[2]) if len(sys.argv) > 2 else 7
MB = 1000 * 1000

for name in ("zoomatch.wasm", "zoomatch.js"):
    data = open(os.path.join(folder, name), "rb").read()
    packed = gzip.compress(data, compresslevel=9)
    print(f"{name}: {len(data) / MB:.2f} MB raw, {len(packed) / MB:.2f} MB after gzip -9")

# The floor: a page that draws once through WebGL and does nothing else.
FLOOR = """<!doctype html><canvas width=461 height=415></canvas><script>
const gl = document.querySelector('canvas').getContext('webgl');
gl.clearColor(0.75, 0.75, 1, 1); gl.clear(gl.COLOR_BUFFER_BIT); gl.drawArrays(gl.TRIANGLES, 0, 0);
</script>"""


def first_frames(site):
    with Session(site) as session:
        cold = session.open()
        session.call("Network.enable")
        session.call("Network.setCacheDisabled", cacheDisabled=True)
        return cold, [session.open() for _ in range(loads)]


with tempfile.TemporaryDirectory() as floor:
    with open(os.path.join(floor, "index.html"), "w") as page:
        page.write(FLOOR)
    for what, site in (("WebGL floor page", floor), ("zoomatch", folder)):
        cold, times = first_frames(site)
        print(f"{what}: first frame after navigation, fresh browser {cold:.2f} s; "
              f"running browser, nothing cached ({loads} loads) "
              + ", ".join(f"{t:.2f}" for t in times) + f" s, median {statistics.median(times):.2f} s")

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

from browser import Session

folder = sys.argv[1]
loads = int(sys.argv[2]) if len(sys.argv) > 2 else 7
MB = 1000 * 1000

for name in ("zoomatch.wasm", "zoomatch.js"):
    data = open(os.path.join(folder, name), "rb").read()
    packed = gzip.compress(data, compresslevel=9)
    print(f"{name}: {len(data) / MB:.2f} MB raw, {len(packed) / MB:.2f} MB after gzip -9")

with Session(folder) as session:
    cold = session.open()
    session.call("Network.enable")
    session.call("Network.setCacheDisabled", cacheDisabled=True)
    times = [session.open() for _ in range(loads)]
print(f"first frame after navigation, fresh browser: {cold:.2f} s")
print(f"first frame after navigation, running browser, nothing cached ({loads} loads): "
      + ", ".join(f"{t:.2f}" for t in times) + f" s; median {statistics.median(times):.2f} s")

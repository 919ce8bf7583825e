#!/usr/bin/python3
"""Benchmark of the quiz page (figures, not a test), served from 127.0.0.1 to
headless Chromium:
1. everything a first visit fetches, the service worker's own fetches
   included, as the server logged it, each file's size raw and after gzip -9;
2. the time from navigation to playable (the page's handlers attached) in a
   running browser, against the first paint of the same page with its
   scripts taken out, the two loaded in turn, cache and service worker
   bypassed: medians and their ratio;
3. Lighthouse's performance and accessibility scores, desktop and mobile,
   against a Chromium of our own that is ended with its process group.
   bench.py SITE_DIR [LOADS] [LIGHTHOUSE_RUNS]   (defaults 15 and 3; 0 runs skips Lighthouse)"""
import gzip
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "window", "web"))
from browser import Session, start_chromium, start_server, stop  # noqa: E402

site = os.path.abspath(sys.argv[1])
loads = int(sys.argv[2]) if len(sys.argv) > 2 else 15
lighthouse_runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3


def first_visit():
    with Session(site) as session:
        session.open()
        session.evaluate("navigator.serviceWorker.ready.then(() => true)", wait=True)
        session.navigate()  # the service worker controls this one: nothing new is fetched
        log = open(session.server_log).read()
    # Every request counts, a file that the page and the service worker both
    # fetch twice; a file that gzip does not shrink (the font) counts raw.
    fetched = sorted(re.findall(r'"GET (/[^ ?]*)\S* HTTP/[\d.]+" (\d+)', log))
    total_raw = total_gzip = 0
    print("First visit, every request (server log), bytes raw and sent with gzip -9:")
    for path, status in fetched:
        file = os.path.join(site, path.lstrip("/") or "index.html")
        if status != "200" or not os.path.isfile(file):
            print(f"    {path:32} status {status}")
            continue
        data = open(file, "rb").read()
        packed = min(len(data), len(gzip.compress(data, compresslevel=9)))
        total_raw, total_gzip = total_raw + len(data), total_gzip + packed
        print(f"    {path:32} {len(data):8,} {packed:8,}")
    print(f"    {'total':32} {total_raw:8,} {total_gzip:8,}   (budget: 40,000 after gzip)")


def playable_against_floor():
    with tempfile.TemporaryDirectory() as root:
        shutil.copytree(site, os.path.join(root, "page"))
        shutil.copytree(site, os.path.join(root, "floor"))
        index = os.path.join(root, "floor", "index.html")
        page = open(index, encoding="utf-8").read()
        open(index, "w", encoding="utf-8").write(
            re.sub(r"<script\b[^>]*>.*?</script>", "", page, flags=re.S))
        with Session(root) as session:
            session.call("Network.enable")
            session.call("Network.setCacheDisabled", cacheDisabled=True)
            session.call("Network.setBypassServiceWorker", bypass=True)
            paint = ("performance.getEntriesByName('first-contentful-paint')"
                     ".map(e => e.startTime)[0]")
            times = {"playable": [], "page's first paint": [], "floor's first paint": [],
                     "page's DOMContentLoaded": [], "zoomatch.js fetched": [],
                     "zoomatch.wasm fetched": []}
            marks = ("[performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd,"
                     " ...['zoomatch.js', 'zoomatch.wasm'].map(name => performance"
                     ".getEntriesByName(new URL(name, location).href)[0].responseEnd)]")
            for n in range(loads + 2):  # two rounds to warm up
                session.navigate(session.url + "page/", until=f"window.zoomatchPlayable && {paint}")
                playable = session.evaluate("window.zoomatchPlayable")
                page_paint = session.evaluate(paint)
                page_marks = session.evaluate(marks)
                session.navigate(session.url + "floor/", until=f"{paint} !== undefined")
                floor = session.evaluate(paint)
                if n >= 2:
                    times["playable"].append(playable)
                    times["page's first paint"].append(page_paint or float("nan"))
                    times["floor's first paint"].append(floor)
                    for what, value in zip(list(times)[3:], page_marks):
                        times[what].append(value)
    print(f"Running browser, {loads} loads of each in turn, ms from navigation:")
    for what, values in times.items():
        print(f"    {what:24} median {statistics.median(values):7.1f}   "
              + " ".join(f"{v:.0f}" for v in values))
    ratio = statistics.median(times["playable"]) / statistics.median(times["floor's first paint"])
    print(f"    playable / floor's first paint = {ratio:.2f}   (budget: 1.2)")


def lighthouse():
    cli = os.path.join(HERE, "node_modules", "lighthouse", "cli", "index.js")
    if not lighthouse_runs:
        return
    if not os.path.exists(cli):
        print(f"Lighthouse: not installed (npm ci in {HERE})")
        return
    scratch = tempfile.mkdtemp(prefix="zoomatch-lighthouse-")
    processes = []
    try:
        with open(os.path.join(scratch, "server.log"), "wb") as log:
            server, url = start_server(site, log)
        processes.append(server)
        print(f"Lighthouse 12.2.3, {lighthouse_runs} runs each, medians:")
        for preset in ("desktop", "mobile"):
            scores = {"performance": [], "accessibility": []}
            failed = set()
            for n in range(lighthouse_runs):
                profile = os.path.join(scratch, f"profile-{preset}-{n}")
                os.mkdir(profile)
                with open(os.path.join(scratch, "chromium.log"), "ab") as log:
                    browser, port = start_chromium(profile, log)
                processes.append(browser)
                report = os.path.join(scratch, f"{preset}-{n}.json")
                command = ["node", cli, url, f"--port={port}", "--output=json",
                           f"--output-path={report}", "--quiet",
                           "--only-categories=performance,accessibility"]
                if preset == "desktop":
                    command.append("--preset=desktop")
                with open(os.path.join(scratch, "lighthouse.log"), "ab") as log:
                    run = subprocess.Popen(command, stdout=log, stderr=log, start_new_session=True,
                                           env=dict(os.environ, CHROME_PATH="/usr/bin/chromium"))
                    try:
                        run.wait(300)
                    finally:
                        stop(run)
                stop(browser)
                result = json.load(open(report))
                for category in scores:
                    scores[category].append(100 * result["categories"][category]["score"])
                for ref in result["categories"]["accessibility"]["auditRefs"]:
                    audit = result["audits"][ref["id"]]
                    if audit["score"] is not None and audit["score"] < 1:
                        failed.add(ref["id"])
                metrics = {k: result["audits"][k]["numericValue"] for k in
                           ("first-contentful-paint", "largest-contentful-paint",
                            "total-blocking-time", "speed-index")}
                work = result["audits"]["mainthread-work-breakdown"]["details"]["items"]
                timings = ", ".join(f"{k} {v:.0f} ms" for k, v in metrics.items())
                busy = ", ".join(f"{i['groupLabel']} {i['duration']:.0f} ms" for i in work[:3])
                print(f"    {preset} run {n + 1}: performance {scores['performance'][-1]:.0f}; "
                      f"{timings}; main thread: {busy}")
            print(f"    {preset:8} performance {statistics.median(scores['performance']):.0f}, "
                  f"accessibility {statistics.median(scores['accessibility']):.0f}"
                  + (f" (failed: {', '.join(sorted(failed))})" if failed else ""))
    finally:
        for process in reversed(processes):
            stop(process)
        shutil.rmtree(scratch, ignore_errors=True)


first_visit()
playable_against_floor()
lighthouse()

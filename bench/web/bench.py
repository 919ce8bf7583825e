#!/usr/bin/python3
"""Benchmark of the quiz page (figures, not a test), served from 127.0.0.1 to
each browser engine of the page's tests (Chromium, Firefox ESR, WebKitGTK):
1. the site's files, raw and after gzip -9, the single-file zoomatch.html
   among them where the site has it;
2. per engine, everything a first visit fetches, the service worker's own
   fetches included, as the server logged it, raw and after gzip -9;
3. per engine, the time from navigation to playable (the page's handlers
   attached) against the first paint of the same page with its scripts
   taken out, the two loaded in turn from a server that lets nothing be
   cached, with no service worker: medians and their ratio;
4. Lighthouse's performance and accessibility scores, desktop and mobile,
   against a Chromium of our own that is ended with its process group;
5. each engine's figures against the budgets.
   bench.py SITE_DIR [LOADS] [LIGHTHOUSE_RUNS] [ENGINES]
   (defaults 15, 3 and chromium,firefox,webkit; 0 runs skips Lighthouse)"""
import functools
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

BUDGET = 40_000  # bytes after gzip: a first visit, and zoomatch.html
RATIO = 1.2  # playable against the floor's first paint
NAMES = {"chromium": "Chromium", "firefox": "Firefox ESR", "webkit": "WebKitGTK"}

# Loaded first by both the page and the floor of the timing: notes when the
# page becomes playable, as it marks itself.
MARK = """new MutationObserver(function (_, observer) {
  if (document.documentElement.dataset.playable === 'true') {
    window.zoomatchPlayable = performance.now();
    observer.disconnect();
  }
}).observe(document.documentElement, {attributes: true, attributeFilter: ['data-playable']});
"""
PAINT = "performance.getEntriesByName('first-contentful-paint').map(e => e.startTime)[0]"


def packed(data):
    """Bytes as a server sends them with gzip -9 (the font, which gzip does
    not shrink, as it is)."""
    return min(len(data), len(gzip.compress(data, compresslevel=9)))


@functools.cache
def version(engine):
    if engine == "webkit":
        return "WebKitGTK " + subprocess.run(
            ["dpkg-query", "-W", "-f=${Version}", "libwebkit2gtk-4.1-0"],
            capture_output=True, text=True).stdout.split("-")[0]
    command = {"chromium": "chromium", "firefox": "firefox-esr"}[engine]
    words = subprocess.run([command, "--version"], capture_output=True, text=True).stdout.split()
    return f"Firefox ESR {words[2].removesuffix('esr')}" if engine == "firefox" else " ".join(
        words[:2])


def files():
    print("The site's files, bytes raw and with gzip -9:")
    single = None
    for name in sorted(os.listdir(site)):
        path = os.path.join(site, name)
        if os.path.isfile(path) and not name.endswith(".tar.gz"):
            data = open(path, "rb").read()
            print(f"    {name:34} {len(data):8,} {packed(data):8,}")
            if name == "zoomatch.html":
                single = packed(data)
    return single


def first_visit(engine):
    with Session(site, engine=engine) as session:
        session.navigate()
        ready = session.evaluate(
            "Promise.race([navigator.serviceWorker.ready.then(() => true),"
            " new Promise(done => setTimeout(() => done(false), 15000))])", wait=True)
        session.navigate()  # the service worker controls this one: nothing new is fetched
        log = "\n".join(session.server_lines())
    # Every request counts, a file that the page and the service worker both
    # fetch twice; a file that gzip does not shrink (the font) counts raw.
    fetched = sorted(re.findall(r'"GET (/[^ ?]*)\S* HTTP/[\d.]+" (\d+)', log))
    total_raw = total_gzip = 0
    print(f"  First visit, every request (server log), bytes raw and sent with gzip -9"
          f"{'' if ready else ' (no service worker became ready)'}:")
    for path, status in fetched:
        file = os.path.join(site, path.lstrip("/") or "index.html")
        if status != "200" or not os.path.isfile(file):
            print(f"    {path:32} status {status}")
            continue
        data = open(file, "rb").read()
        total_raw, total_gzip = total_raw + len(data), total_gzip + packed(data)
        print(f"    {path:32} {len(data):8,} {packed(data):8,}")
    print(f"    {'total':32} {total_raw:8,} {total_gzip:8,}   (budget: {BUDGET:,} after gzip)")
    return total_gzip


def timing_copies(root):
    """The page and its floor, the page without its scripts, side by side,
    each with the mark loaded first and without its service worker and
    policy (which would refuse the mark in a page that lists its scripts'
    hashes); then a server for both that lets nothing be cached."""
    open(os.path.join(root, "mark.js"), "w").write(MARK)
    for copy in ("page", "floor"):
        shutil.copytree(site, os.path.join(root, copy))
        os.remove(os.path.join(root, copy, "sw.js"))
        index = os.path.join(root, copy, "index.html")
        page = open(index, encoding="utf-8").read()
        if copy == "floor":
            page = re.sub(r"<script\b[^>]*>.*?</script>", "", page, flags=re.S)
        page = re.sub(r'<meta http-equiv="Content-Security-Policy"[^>]*>', "", page)
        page = page.replace("<head>", '<head>\n<script src="../mark.js"></script>', 1)
        open(index, "w", encoding="utf-8").write(page)
    server, url = start_server(root, subprocess.DEVNULL, "--no-store")
    return server, url


def playable_against_floor(engine, url):
    times = {"playable": [], "page's first paint": [], "floor's first paint": [],
             "page's DOMContentLoaded": [], "zoomatch.js fetched": [],
             "zoomatch.wasm fetched": []}
    marks = ("[performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd,"
             " ...['zoomatch.js', 'zoomatch.wasm'].map(name => (performance"
             ".getEntriesByName(new URL(name, location).href)[0] || {}).responseEnd)]")
    with Session(url=url, engine=engine) as session:
        for n in range(loads + 2):  # two rounds to warm up
            session.navigate(url + "page/", until=f"window.zoomatchPlayable && {PAINT}")
            playable, page_paint, page_marks = session.evaluate(
                f"[window.zoomatchPlayable, {PAINT}, {marks}]")
            session.navigate(url + "floor/", until=f"{PAINT} !== undefined")
            floor = session.evaluate(PAINT)
            if n >= 2:
                for what, value in zip(times, [playable, page_paint, floor, *page_marks]):
                    times[what].append(float("nan") if value is None else value)
    print(f"  Running browser, {loads} loads of each in turn, ms from navigation:")
    for what, values in times.items():
        print(f"    {what:24} median {statistics.median(values):7.1f}   "
              + " ".join(f"{v:.0f}" for v in values))
    ratio = statistics.median(times["playable"]) / statistics.median(times["floor's first paint"])
    print(f"    playable / floor's first paint = {ratio:.2f}   (budget: {RATIO})")
    return ratio


def lighthouse():
    cli = os.path.join(HERE, "node_modules", "lighthouse", "cli", "index.js")
    if not lighthouse_runs:
        return {}
    if not os.path.exists(cli):
        print(f"Lighthouse: not installed (npm ci in {HERE})")
        return {}
    scratch = tempfile.mkdtemp(prefix="zoomatch-lighthouse-")
    processes, medians = [], {}
    try:
        with open(os.path.join(scratch, "server.log"), "wb") as log:
            server, url = start_server(site, log)
        processes.append(server)
        print(f"Lighthouse 12.2.3 in {version('chromium')}, {lighthouse_runs} runs each, medians:")
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
                print(f"    {preset} run {n + 1}: performance {scores['performance'][-1]:.0f}, "
                      f"accessibility {scores['accessibility'][-1]:.0f}; {timings}; "
                      f"main thread: {busy}")
            medians[preset] = {k: statistics.median(v) for k, v in scores.items()}
            print(f"    {preset:8} performance {medians[preset]['performance']:.0f}, "
                  f"accessibility {medians[preset]['accessibility']:.0f}"
                  + (f" (failed: {', '.join(sorted(failed))})" if failed else ""))
    finally:
        for process in reversed(processes):
            stop(process)
        shutil.rmtree(scratch, ignore_errors=True)
    return medians


def main():
    single = files()
    figures = {}
    with tempfile.TemporaryDirectory() as root:
        server, url = timing_copies(root)
        try:
            for engine in engines:
                print(f"{version(engine)}:")
                figures[engine] = (first_visit(engine), playable_against_floor(engine, url))
        finally:
            stop(server)
    scores = lighthouse()
    print("Budgets:")
    for engine, (visit, ratio) in figures.items():
        print(f"    {version(engine):28} first visit {visit:7,} bytes "
              f"({'within' if visit <= BUDGET else 'OVER'} {BUDGET:,}), playable "
              f"{ratio:.2f} x the floor's first paint "
              f"({'within' if ratio <= RATIO else 'OVER'} {RATIO})")
    if single is not None:
        print(f"    zoomatch.html {single:,} bytes after gzip "
              f"({'within' if single <= BUDGET else 'OVER'} {BUDGET:,})")
    if "mobile" in scores:
        print(f"    Lighthouse mobile accessibility {scores['mobile']['accessibility']:.0f} "
              "(budget: 100)")


site = os.path.abspath(sys.argv[1])
loads = int(sys.argv[2]) if len(sys.argv) > 2 else 15
lighthouse_runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
engines = (sys.argv[4] if len(sys.argv) > 4 else "chromium,firefox,webkit").split(",")
for unknown in set(engines) - set(NAMES):
    sys.exit(f"no engine {unknown!r}: one of {', '.join(NAMES)}")
main()

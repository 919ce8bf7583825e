#!/usr/bin/python3
"""The static server of the page's tests. `start` (a CTest fixture) serves
SITE on 127.0.0.1 in a session of its own, its address in STATE/server-url,
its PID in STATE/server-pid and its log in STATE/server.log; `stop` ends its
process group. `serve` is the server itself: it logs each request with its
referrer, and sends each page with its own Content-Security-Policy (from its
meta element) once more as a report-only header, so that every engine
reports a violation to the server, even one in a document that its driver
can only reach after it has loaded; each report is logged as a line with "CSP report". Its options
serve .wasm files as another type, send every answer under a policy of its
own, or tell the browser to keep nothing (for timing every load alike).
   server.py start STATE SITE  |  server.py stop STATE
   server.py serve SITE PORT [--wasm-type TYPE] [--policy POLICY] [--no-store]"""
import argparse
import functools
import html
import http.server
import os
import re
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    policy = None
    no_store = False

    def end_headers(self):
        if self.policy:
            self.send_header("Content-Security-Policy", self.policy)
        if self.no_store:
            self.send_header("Cache-Control", "no-store")
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if path.endswith(".html") and os.path.isfile(path):
            with open(path, encoding="utf-8", errors="replace") as page:
                found = re.search(r'<meta http-equiv="Content-Security-Policy" content="([^"]*)"',
                                  page.read())
            if found:
                self.send_header("Content-Security-Policy-Report-Only",
                                 html.unescape(found[1]) + "; report-uri /csp-report")
        super().end_headers()

    def log_request(self, code="-", size="-"):
        # With where the request came from: the page, or the service worker
        # (whose requests name sw.js).
        self.log_message('"%s" %s %s from %s', self.requestline, code, size,
                         self.headers.get("Referer", "-"))

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        self.log_message("CSP report %s", body.decode("utf-8", "replace").replace("\n", " "))
        self.send_response(204)
        self.end_headers()


def main():
    command = sys.argv[1]
    if command == "serve":
        options = argparse.ArgumentParser()
        options.add_argument("folder")
        options.add_argument("port", type=int)
        options.add_argument("--wasm-type", default="application/wasm")
        options.add_argument("--policy")
        options.add_argument("--no-store", action="store_true")
        given = options.parse_args(sys.argv[2:])

        class Serving(Handler):
            extensions_map = {**Handler.extensions_map, ".wasm": given.wasm_type}
            policy = given.policy
            no_store = given.no_store
        handler = functools.partial(Serving, directory=given.folder)
        http.server.ThreadingHTTPServer(("127.0.0.1", given.port), handler).serve_forever()
    from browser import start_server, stop
    state = sys.argv[2]
    pid_file, url_file = os.path.join(state, "server-pid"), os.path.join(state, "server-url")
    if command == "start":
        if not os.path.isfile(os.path.join(sys.argv[3], "index.html")):
            sys.exit(f"no site in {sys.argv[3]}: build the tree first")
        with open(os.path.join(state, "server.log"), "wb") as log:
            server, url = start_server(sys.argv[3], log)
        open(pid_file, "w").write(str(server.pid))
        open(url_file, "w").write(url)
        print(f"serving {sys.argv[3]} at {url}, PID {server.pid}")
    else:
        pid = int(open(pid_file).read())
        gone = stop(pid)
        os.remove(pid_file)
        os.remove(url_file)
        sys.exit(0 if gone else f"the server {pid} is still running")


main()

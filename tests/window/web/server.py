#!/usr/bin/python3
"""The static server that the page's tests share (a CTest fixture): serves
SITE on a free port of 127.0.0.1 in a session of its own and writes its
address to STATE/server-url and its PID to STATE/server-pid; `stop` ends its
process group and waits until it is gone.
   server.py start STATE SITE  |  server.py stop STATE"""
import os
import signal
import sys
import time

from browser import start_server, wait_for

command, state = sys.argv[1], sys.argv[2]
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

    def gone():
        try:
            os.killpg(pid, 0)
            return False
        except ProcessLookupError:
            return True
    if not gone():
        os.killpg(pid, signal.SIGTERM)
        try:
            wait_for(gone, 5, "")
        except TimeoutError:
            os.killpg(pid, signal.SIGKILL)
            time.sleep(0.5)
    os.remove(pid_file)
    os.remove(url_file)
    sys.exit(0 if gone() else f"the server {pid} is still running")

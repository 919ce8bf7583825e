#!/usr/bin/python3
"""The static server that the page's tests share (a CTest fixture): serves
SITE on 127.0.0.1 in a session of its own, its address in STATE/server-url
and its PID in STATE/server-pid; `stop` ends its process group.
   server.py start STATE SITE  |  server.py stop STATE"""
import os
import sys

from browser import start_server, stop

command, state = sys.argv[1:3]
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

#!/usr/bin/python3
"""Clicks the quiz window through the X server's test extension, as a
learner's mouse would, then closes it as a window manager does.
   x11_player.py X,Y [X,Y ...]   (points in the window, in pixels)"""
import os
import sys
import time

from Xlib import X, display, protocol
from Xlib.ext import xtest

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../.."))
from x11_windows import find_window  # noqa: E402

screen = display.Display()
root = screen.screen().root
deadline = time.monotonic() + 20
while (window := find_window(root, lambda w: (w.get_wm_class() or ("",))[0] == "zoomatch")) is None:
    if time.monotonic() > deadline:
        sys.exit("FAIL: the quiz window did not appear")
    time.sleep(0.05)
time.sleep(0.3)
origin = window.translate_coords(root, 0, 0)
for point in sys.argv[1:]:
    x, y = (int(v) for v in point.split(","))
    xtest.fake_input(screen, X.MotionNotify, x=x - origin.x, y=y - origin.y)
    xtest.fake_input(screen, X.ButtonPress, 1)
    xtest.fake_input(screen, X.ButtonRelease, 1)
    screen.sync()
    time.sleep(0.1)
window.send_event(protocol.event.ClientMessage(
    window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
    data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
screen.flush()

#!/usr/bin/python3
"""Plays the installed quiz under Wine on the X server that DISPLAY names, as a
learner does: its window found by its caption, a right pair clicked through
the X server's test extension, the output copied from the output box (Ctrl+A,
Ctrl+C, the X clipboard) and compared, and the window closed as a window
manager closes it (WM_DELETE_WINDOW)."""
import os
import sys
import time

from Xlib import X, display, protocol
from Xlib.XK import string_to_keysym
from Xlib.ext import xtest

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../.."))
from x11_windows import find_window, shown  # noqa: E402

CAPTION = "www.example.org Биология - наука и обхват"
RIGHT = "анатомия е наука за вътрешен строеж на организми\nВярно! Позна.\n \n"


def centre(left, top, width, height):
    """A control's middle in client pixels at 96 dpi, from its place in twips."""
    return (left + width // 2) // 15, (top + height // 2) // 15


# Option1(0), the top science, and Option2(0), the third subject from the top,
# each from its frame's corner; Command1(0) «Изведи»; Text1(0).
CLICKS = [centre(120 + 120, 480 + 300, 2175, 300), centre(2640 + 120, 480 + 900, 3735, 300),
          centre(1680, 3960, 1095, 375), centre(120, 4320, 6735, 1815)]

screen = display.Display()
root = screen.screen().root
atom = screen.intern_atom


def fail(message):
    sys.exit(f"play.py: {message}")


def wait_for(condition, what, seconds):
    deadline = time.monotonic() + seconds
    while not (value := condition()):
        if time.monotonic() > deadline:
            fail(what)
        time.sleep(0.1)
    return value


def captioned(window):
    name = window.get_full_property(atom("_NET_WM_NAME"), atom("UTF8_STRING"))
    return name and name.value.decode() == CAPTION


def selection_notify():
    while screen.pending_events():
        if (event := screen.next_event()).type == X.SelectionNotify:
            return event


window = wait_for(lambda: find_window(root, captioned), f'no window "{CAPTION}" appeared', 60)
time.sleep(1.0)  # the first frame drawn
origin = window.translate_coords(root, 0, 0)
for x, y in CLICKS:
    xtest.fake_input(screen, X.MotionNotify, x=x - origin.x, y=y - origin.y)
    xtest.fake_input(screen, X.ButtonPress, 1)
    xtest.fake_input(screen, X.ButtonRelease, 1)
    screen.sync()
    time.sleep(0.4)
for key in ("a", "c"):
    codes = [screen.keysym_to_keycode(string_to_keysym(name)) for name in ("Control_L", key)]
    for kind, order in ((X.KeyPress, codes), (X.KeyRelease, reversed(codes))):
        for code in order:
            xtest.fake_input(screen, kind, code)
    screen.sync()
    time.sleep(0.3)

paste = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
paste.convert_selection(atom("CLIPBOARD"), atom("UTF8_STRING"), atom("ZOOMATCH_PASTE"), X.CurrentTime)
screen.flush()
if wait_for(selection_notify, "the clipboard did not answer", 10).property == X.NONE:
    fail("the clipboard holds no text")
text = paste.get_full_property(atom("ZOOMATCH_PASTE"), X.AnyPropertyType).value
text = (text.decode() if isinstance(text, bytes) else str(text)).replace("\r\n", "\n")
if text != RIGHT:
    fail(f"after a right pair the output reads {text!r}")

window.send_event(protocol.event.ClientMessage(
    window=window, client_type=atom("WM_PROTOCOLS"),
    data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
screen.flush()
wait_for(lambda: not shown(window), "the window did not close", 20)

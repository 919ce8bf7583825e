#!/usr/bin/python3
"""Plays the installed quiz under Wine as a learner does: real clicks through
the X server's test extension, the output text read back as a learner copies
it (Ctrl+A, Ctrl+C in the output box, then the X clipboard). A wrong pair,
then a right pair; then the window is closed as the window manager closes it
(WM_DELETE_WINDOW).
   play.py          (DISPLAY names the X server the program is on)"""
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
WIDTH, HEIGHT = 6915 // 15, 6225 // 15  # the client area at 96 dpi


def centre(left, top, width, height, parent=(0, 0)):
    """The middle of a control, in client pixels, from its place in twips."""
    return ((parent[0] + left + width // 2) // 15, (parent[1] + top + height // 2) // 15)


SCIENCES, SUBJECTS = (120, 480), (2640, 480)  # Frame1(0) and Frame1(16)
ANATOMY = centre(120, 300, 2175, 300, SCIENCES)  # Option1(0), the top science
AMPHIBIANS = centre(120, 1200, 3735, 300, SUBJECTS)  # Option2(1), fourth subject from the top
INNER_STRUCTURE = centre(120, 900, 3735, 300, SUBJECTS)  # Option2(0), third from the top
CHECK = centre(1680, 3960, 1095, 375)  # Command1(0) "Изведи"
OUTPUT = centre(120, 4320, 6735, 1815)  # Text1(0)
WRONG = "Грешен отговор.\n"
RIGHT = "анатомия е наука за вътрешен строеж на организми\nВярно! Позна.\n \n"

screen = display.Display()
root = screen.screen().root
NET_WM_NAME = screen.intern_atom("_NET_WM_NAME")
UTF8 = screen.intern_atom("UTF8_STRING")


def fail(message):
    sys.exit(f"play.py: {message}")


def wait_for(condition, what, seconds=60):
    deadline = time.monotonic() + seconds
    while not (value := condition()):
        if time.monotonic() > deadline:
            fail(what)
        time.sleep(0.1)
    return value


window = wait_for(lambda: find_window(root, lambda w: (name := w.get_full_property(NET_WM_NAME, UTF8))
                                      and name.value.decode() == CAPTION),
                  f'no window "{CAPTION}" appeared')
time.sleep(1.0)  # the first frame drawn
geometry = window.get_geometry()
if (geometry.width, geometry.height) != (WIDTH, HEIGHT):
    fail(f"the window's client area is {geometry.width}x{geometry.height}, not {WIDTH}x{HEIGHT}")
origin = window.translate_coords(root, 0, 0)
left, top = -origin.x, -origin.y


def click(point):
    xtest.fake_input(screen, X.MotionNotify, x=left + point[0], y=top + point[1])
    xtest.fake_input(screen, X.ButtonPress, 1)
    xtest.fake_input(screen, X.ButtonRelease, 1)
    screen.sync()
    time.sleep(0.4)


def key(name, modifier):
    codes = [screen.keysym_to_keycode(string_to_keysym(k)) for k in (modifier, name)]
    for code in codes:
        xtest.fake_input(screen, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(screen, X.KeyRelease, code)
    screen.sync()
    time.sleep(0.3)


def output_text():
    """The output box's text as the learner copies it: click, select all, copy."""
    click(OUTPUT)
    key("a", "Control_L")
    key("c", "Control_L")
    clipboard = screen.intern_atom("CLIPBOARD")
    target = screen.intern_atom("ZOOMATCH_PASTE")
    mine = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    mine.convert_selection(clipboard, UTF8, target, X.CurrentTime)
    screen.flush()
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        while screen.pending_events():
            event = screen.next_event()
            if event.type == X.SelectionNotify:
                if event.property == X.NONE:
                    fail("the clipboard holds no text")
                value = mine.get_full_property(target, X.AnyPropertyType).value
                mine.destroy()
                text = value.decode() if isinstance(value, bytes) else str(value)
                return text.replace("\r\n", "\n")
        time.sleep(0.05)
    fail("the clipboard did not answer")


intro = output_text()
if not intro.startswith("Биологията е наука за живота."):
    fail(f"at start the output reads {intro!r}")
click(ANATOMY)
click(AMPHIBIANS)
click(CHECK)
if (text := output_text()) != WRONG:
    fail(f"after a wrong pair the output reads {text!r}")
click(INNER_STRUCTURE)
click(CHECK)
if (text := output_text()) != RIGHT:
    fail(f"after a right pair the output reads {text!r}")

protocols = screen.intern_atom("WM_PROTOCOLS")
delete = screen.intern_atom("WM_DELETE_WINDOW")
window.send_event(protocol.event.ClientMessage(
    window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
screen.flush()
wait_for(lambda: not shown(window), "the window did not close", 20)

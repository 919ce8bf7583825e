#!/usr/bin/python3
"""Plays the quiz as a learner does, on the real Windows program under Wine:
real clicks through the X server's test extension, the output text read back
through the clipboard (select all, copy), the screen read from the X server.
Plays a wrong pair and a right pair, checks the window, its colours, the
blanked captions and both verdicts, then closes the window.
   wine_player.py          (DISPLAY names the X server the program is on)"""
import os
import sys
import time

from Xlib import X, display, protocol
from Xlib.ext import xtest
from Xlib.XK import string_to_keysym

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tests"))
from x11_windows import find_window, shown  # noqa: E402

CAPTION = "www.example.org Биология - наука и обхват"
WIDTH, HEIGHT = 461, 415
# Points in the window, in pixels, from its definition in twips.
SCIENCE_ANATOMY = (88, 62)          # Option1(0), row 0 of the left column
SUBJECT_AMPHIBIANS = (308, 122)     # Option2(1), fourth from the top
SUBJECT_INNER_STRUCTURE = (308, 102)  # Option2(0), third from the top
CHECK = (148, 276)                  # Command1(0) "Изведи"
OUTPUT = (200, 340)                 # Text1(0)
ANATOMY_CAPTION = (28, 54, 100, 16)   # x, y, w, h: where "анатомия" is written
COLOURS = {"window": (4, 200, 0xC0C0FF), "label": (80, 4, 0xFFC080),
           "science": (140, 62, 0xC0FFC0), "subject": (420, 122, 0xFFC0FF),
           "clear": (30, 270, 0xFF8080), "check": (120, 270, 0xC0FFC0)}

screen = display.Display()
root = screen.screen().root
NET_WM_NAME = screen.intern_atom("_NET_WM_NAME")
UTF8 = screen.intern_atom("UTF8_STRING")


def fail(message):
    sys.exit(f"FAIL: {message}")


def quiz_window():
    return find_window(root, lambda window: (name := window.get_full_property(NET_WM_NAME, UTF8))
                       and name.value.decode() == CAPTION)


def wait_for(condition, what, seconds=60):
    deadline = time.monotonic() + seconds
    while not (value := condition()):
        if time.monotonic() > deadline:
            fail(what)
        time.sleep(0.1)
    return value


window = wait_for(quiz_window, f'no window "{CAPTION}" appeared')
time.sleep(1.0)
geometry = window.get_geometry()
if (geometry.width, geometry.height) != (WIDTH, HEIGHT):
    fail(f"the window is {geometry.width}x{geometry.height}, not {WIDTH}x{HEIGHT}")
origin = window.translate_coords(root, 0, 0)
left, top = -origin.x, -origin.y


def move(point):
    xtest.fake_input(screen, X.MotionNotify, x=left + point[0], y=top + point[1])


def click(point):
    move(point)
    xtest.fake_input(screen, X.ButtonPress, 1)
    xtest.fake_input(screen, X.ButtonRelease, 1)
    screen.sync()
    time.sleep(0.4)


def key(name, modifier=None):
    codes = [screen.keysym_to_keycode(string_to_keysym(k)) for k in (modifier, name) if k]
    for code in codes:
        xtest.fake_input(screen, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(screen, X.KeyRelease, code)
    screen.sync()
    time.sleep(0.3)


def pixels(x, y, w, h):
    image = root.get_image(left + x, top + y, w, h, X.ZPixmap, 0xFFFFFFFF)
    data = image.data  # 32 bits a pixel, BGRX
    return [(data[i + 2] << 16) | (data[i + 1] << 8) | data[i] for i in range(0, len(data), 4)]


def dark_pixels(box):
    return sum(1 for p in pixels(*box) if sum((p >> s) & 0xFF for s in (16, 8, 0)) < 3 * 96)


def output_text():
    """The output box's text, as the learner copies it: click, select all, copy."""
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
                return value.decode() if isinstance(value, bytes) else str(value)
        time.sleep(0.05)
    fail("the clipboard did not answer")


def lines(text):
    return text.replace("\r\n", "\n").split("\n")


for name, (x, y, colour) in COLOURS.items():
    found = pixels(x, y, 1, 1)[0]
    if found != colour:
        fail(f"the {name} colour at {x},{y} is #{found:06X}, not #{colour:06X}")
if dark_pixels(ANATOMY_CAPTION) == 0:
    fail('"анатомия" is not written on its button')
intro = output_text()
if not intro.startswith("Биологията е наука за живота.") or len(lines(intro.rstrip("\n"))) != 5:
    fail(f"the introduction reads {intro!r}")

click(SCIENCE_ANATOMY)
click(SUBJECT_AMPHIBIANS)
click(CHECK)
wrong = output_text()
if lines(wrong) != ["Грешен отговор.", ""]:
    fail(f"after a wrong pair the output reads {wrong!r}")
if dark_pixels(ANATOMY_CAPTION) == 0:
    fail('a wrong pair blanked "анатомия"')

click(SUBJECT_INNER_STRUCTURE)
click(CHECK)
right = output_text()
if lines(right) != ["анатомия е наука за вътрешен строеж на организми", "Вярно! Позна.", " ", ""]:
    fail(f"after a right pair the output reads {right!r}")
if dark_pixels(ANATOMY_CAPTION) != 0:
    fail('"анатомия" was not blanked after the right pair')

protocols = screen.intern_atom("WM_PROTOCOLS")
delete = screen.intern_atom("WM_DELETE_WINDOW")
window.send_event(protocol.event.ClientMessage(
    window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
screen.flush()
wait_for(lambda: not shown(window), "the window did not close", 20)
print("wine_player: a wrong and a right pair played")

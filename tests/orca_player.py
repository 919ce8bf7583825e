"""Plays the quiz from the keyboard, through the X server's test extension,
while Orca runs, then has Orca quit and checks what it spoke after each key:
the SPEECH OUTPUT lines of its debug log, from one key press to the next.
The game is a table in a file of its own: GAME, each key with what Orca says
after it; OPENING, what it says last as the window opens; WINDOW_CLASS, the
X class of the quiz's window; and, if any, UNCHECKED, texts of Orca's own that
it says or not as its timing goes. orca-session.sh runs
   orca_player.py GAME.py ORCA-DEBUG-LOG SPOKEN-FILE ORCA-PID"""
import os
import re
import runpy
import signal
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
from x11_windows import find_window  # noqa: E402

game_path, log_path, spoken_path, orca = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
screen = display.Display()
root = screen.screen().root


def spoken():
    with open(spoken_path, "rb") as f:
        return len(f.read())


def wait_for_speech(since, text=None, most=60):
    """Waits until Orca has said more than `since` bytes, or said `text`: on a
    busy machine it may take a while to begin."""
    deadline = time.monotonic() + most
    while time.monotonic() < deadline:
        with open(spoken_path, "rb") as f:
            said = f.read()
        if len(said) > since and (text is None or text.encode() in said[since:]):
            return
        time.sleep(0.05)
    sys.exit(f"FAIL: Orca said nothing{' of ' + repr(text) if text else ''} in {most} s")


def wait_until_quiet(least=1.0, quiet=1.0, most=10):
    """Orca writes its log in blocks, but speech-dispatcher's output module
    writes each text as it comes: waits until that has been still a while."""
    start = time.monotonic()
    size, still = spoken(), start
    while True:
        time.sleep(0.05)
        now = time.monotonic()
        if spoken() != size:
            size, still = spoken(), now
        elif now - still >= quiet and now - start >= least:
            return
        if now - start > most:
            sys.exit("FAIL: Orca never stopped speaking")


# Keys that Orca logs on their own but that are part of the key after them.
MODIFIERS = {"Shift_L": "Shift_L", "Orca": "Insert"}


def key(name, answered=True):
    """Presses and releases a key, or a combination such as "Shift_L+Tab" or
    "Orca+a" (Orca's own modifier, Insert), by X key names; when Orca is to
    answer it, waits until it has begun to."""
    before = spoken()
    keys = [MODIFIERS.get(part, part) for part in name.split("+")]
    codes = [screen.keysym_to_keycode(XK.string_to_keysym(k)) for k in keys]
    for code in codes:
        xtest.fake_input(screen, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(screen, X.KeyRelease, code)
    screen.sync()
    if answered:
        wait_for_speech(before, most=20)
    wait_until_quiet()


def logged_name(name):
    """The name Orca's log gives the last key of a combination."""
    last = name.split("+")[-1]
    return "ISO_Left_Tab" if name == "Shift_L+Tab" else last


# Qt's accessibility bridge names Shift+Tab by Qt's own key, Backtab.
LOGGED_ALIKE = {"Backtab": "ISO_Left_Tab"}


def play(game, opening_speech, window_class, unchecked=()):
    """game: (key name, what Orca says after it) pairs; opening_speech: what
    it says last as the window opens; window_class: the quiz window's X
    class; unchecked: texts left out of what Orca said before comparing."""
    deadline = time.monotonic() + 30
    while (window := find_window(root, lambda w: window_class in (w.get_wm_class() or ()))) is None:
        if time.monotonic() > deadline:
            sys.exit("FAIL: the quiz window did not appear")
        time.sleep(0.05)
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    screen.sync()
    wait_for_speech(0, opening_speech[-1][:20])
    wait_until_quiet(least=1)

    for name, expected in game:
        key(name, answered=bool(expected))

    # Orca writes out the rest of its log as it quits.
    os.kill(orca, signal.SIGTERM)
    deadline = time.monotonic() + 20
    while True:
        try:
            with open(f"/proc/{orca}/stat") as f:
                if f.read().split(") ")[-1].startswith("Z"):
                    break
        except FileNotFoundError:
            break
        if time.monotonic() > deadline:
            sys.exit("FAIL: Orca did not quit")
        time.sleep(0.1)

    with open(log_path, encoding="utf-8", errors="replace") as f:
        log = f.read()
    # The log indents the lines after the first of a text.
    log = log.replace("\n" + " " * 18, "\n")
    marker = re.compile(r"^vvvvv PROCESS ATSPI_KEY_PRESSED_EVENT: '([^']*)'", re.M)
    parts = marker.split(log)
    speech = re.compile(r" - SPEECH OUTPUT: '(.*?)' ?(?:\{'|voice=|$)", re.M | re.S)
    heard = []
    for name, text in zip(["opening"] + parts[1::2], parts[0::2]):
        if heard and heard[-1][0] in MODIFIERS.values():  # part of the key that follows
            heard[-1] = (name, heard[-1][1] + speech.findall(text))
        else:
            heard.append((name, speech.findall(text)))
    heard = [(name, [said for said in texts if said not in unchecked]) for name, texts in heard]
    failures = []

    def check(step, name, said, expected):
        if said != expected:
            failures.append(step)
            print(f"FAIL: step {step}, {name}: Orca said {said}, not {expected}")

    # As the window opens, the last texts are checked, each only as far as
    # expected: the first line of the introduction ends where the box wraps it.
    opening = heard[0][1][-len(opening_speech):]
    if len(opening) == len(opening_speech):
        opening = [said[:len(expected)] for said, expected in zip(opening, opening_speech)]
    check(0, "opening", opening, opening_speech)
    keys = [LOGGED_ALIKE.get(name, name) for name, _ in heard[1:]]
    if keys != [logged_name(name) for name, _ in game]:
        sys.exit(f"FAIL: Orca saw the keys {[name for name, _ in heard[1:]]}")
    for step, ((name, said), (_, expected)) in enumerate(zip(heard[1:], game), 1):
        if step == len(game):
            said = said[:len(expected)]  # Orca's farewell as it quits
        check(step, name, said, expected)
    if failures:
        sys.exit(1)
    print(f"{len(game) + 1} passed, 0 failed")


table = runpy.run_path(game_path)
play(table["GAME"], table["OPENING"], table["WINDOW_CLASS"], table.get("UNCHECKED", ()))

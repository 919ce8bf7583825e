"""Plays the quiz from the keyboard through the X server's test extension while
Orca runs, then has Orca quit and checks what it spoke after each key: the
SPEECH OUTPUT lines of its debug log from one key press to the next. GAME.py
holds GAME (each key with what Orca says after it), OPENING (what it says last
as the window opens), WINDOW_CLASS (the quiz window's X class) and perhaps
UNCHECKED (texts of Orca's own that it says or not as its timing goes).
   orca_player.py GAME.py ORCA-DEBUG-LOG SPOKEN-FILE ORCA-PID   (orca-session.sh runs it)"""
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
table = runpy.run_path(game_path)
screen = display.Display()
# Keys that Orca logs on their own but that are part of the key after them.
MODIFIERS = {"Shift_L": "Shift_L", "Orca": "Insert"}


def spoken():
    with open(spoken_path, "rb") as f:
        return f.read()


def wait_for_speech(since, text="", most=60):
    """Until Orca has said more than `since` bytes, with `text` among them:
    on a busy machine it may take a while to begin."""
    deadline = time.monotonic() + most
    while len(said := spoken()) <= since or text.encode() not in said[since:]:
        if time.monotonic() > deadline:
            sys.exit(f"FAIL: Orca said nothing{' of ' + repr(text) if text else ''} in {most} s")
        time.sleep(0.05)


def wait_until_quiet(quiet=1.0, most=10):
    """Orca logs in blocks, but speech-dispatcher's output module writes each
    text as it comes: until that has been still a while."""
    start = still = time.monotonic()
    size = len(spoken())
    while (now := time.monotonic()) - still < quiet:
        if now - start > most:
            sys.exit("FAIL: Orca never stopped speaking")
        time.sleep(0.05)
        if (grown := len(spoken())) != size:
            size, still = grown, time.monotonic()


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().split(") ")[-1][0] != "Z"
    except FileNotFoundError:
        return False


def press(name, answered):
    """A key or a combination such as "Shift_L+Tab" or "Orca+a" by X key
    names; when Orca is to answer, waits until it has begun to."""
    before = len(spoken())
    keys = [MODIFIERS.get(k, k) for k in name.split("+")]
    codes = [screen.keysym_to_keycode(XK.string_to_keysym(k)) for k in keys]
    for code in codes:
        xtest.fake_input(screen, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(screen, X.KeyRelease, code)
    screen.sync()
    if answered:
        wait_for_speech(before, most=20)
    wait_until_quiet()


def heard_after_keys(unchecked):
    """(key as Orca logged it, [texts spoken]) from the opening on."""
    with open(log_path, encoding="utf-8", errors="replace") as f:
        log = f.read().replace("\n" + " " * 18, "\n")  # the log indents a text's later lines
    parts = re.split(r"^vvvvv PROCESS ATSPI_KEY_PRESSED_EVENT: '([^']*)'", log, flags=re.M)
    speech = re.compile(r" - SPEECH OUTPUT: '(.*?)' ?(?:\{'|voice=|$)", re.M | re.S)
    heard = []
    for name, text in zip(["opening"] + parts[1::2], parts[0::2]):
        said = [s for s in speech.findall(text) if s not in unchecked]
        if heard and heard[-1][0] in MODIFIERS.values():  # part of the key that follows
            heard[-1] = (name, heard[-1][1] + said)
        else:
            heard.append((name, said))
    return heard


def play(game, opening, window_class, unchecked=()):
    deadline = time.monotonic() + 30
    while (window := find_window(screen.screen().root,
                                 lambda w: window_class in (w.get_wm_class() or ()))) is None:
        if time.monotonic() > deadline:
            sys.exit("FAIL: the quiz window did not appear")
        time.sleep(0.05)
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    screen.sync()
    wait_for_speech(0, opening[-1][:20])
    wait_until_quiet()
    for name, expected in game:
        press(name, answered=bool(expected))

    # Orca writes out the rest of its log as it quits.
    os.kill(orca, signal.SIGTERM)
    deadline = time.monotonic() + 20
    while running(orca):
        if time.monotonic() > deadline:
            sys.exit("FAIL: Orca did not quit")
        time.sleep(0.1)

    heard = heard_after_keys(unchecked)
    # Qt names Shift+Tab by its own key, Backtab, and Orca logs it so.
    keys = [{"Backtab": "ISO_Left_Tab"}.get(name, name) for name, _ in heard[1:]]
    pressed = ["ISO_Left_Tab" if name == "Shift_L+Tab" else name.split("+")[-1] for name, _ in game]
    if keys != pressed:
        sys.exit(f"FAIL: Orca saw the keys {[name for name, _ in heard[1:]]}")
    # The opening's last texts are checked each only as far as expected: the
    # box wraps the introduction's first line. The last key's speech ends in
    # Orca's farewell as it quits.
    said = heard[0][1][-len(opening):]
    if len(said) == len(opening):
        said = [s[:len(e)] for s, e in zip(said, opening)]
    steps = [("opening", said, opening)]
    for step, ((name, said), (_, expected)) in enumerate(zip(heard[1:], game), 1):
        steps.append((name, said[:len(expected)] if step == len(game) else said, expected))
    failures = [f"FAIL: step {step}, {name}: Orca said {said}, not {expected}"
                for step, (name, said, expected) in enumerate(steps) if said != expected]
    if failures:
        sys.exit("\n".join(failures))
    print(f"{len(steps)} passed, 0 failed")


play(table["GAME"], table["OPENING"], table["WINDOW_CLASS"], table.get("UNCHECKED", ()))

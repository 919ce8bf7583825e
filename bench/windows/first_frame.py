#!/usr/bin/python3
"""Time from launch to the first painted frame under Wine, for the quiz and
for the floor (floor_label.exe), taking turns: each run starts the program,
watches the X server until the window's probe pixels show their colours,
then closes the window and waits for the program to end. A persistent
wineserver keeps Wine's own start-up out of the figures, as a running
Windows has its services up before a program starts.
   first_frame.py ROUNDS FLOOR.exe QUIZ.exe     (in a tests/wine-session.sh session)"""
import os
import statistics
import subprocess
import sys
import time

from Xlib import X, display, error, protocol

sys.dont_write_bytecode = True
WINE, WINESERVER = "/usr/lib/wine/wine64", "/usr/lib/wine/wineserver"
rounds, floor_exe, quiz_exe = int(sys.argv[1]), sys.argv[2], sys.argv[3]

LABEL = (960 // 15 + 2, 375 // 30, 0xFFC080)  # the label's left end, clear of its text
PROGRAMS = {
    "floor_label": (floor_exe, "zoomatch floor", [LABEL]),
    # The quiz's frame is painted when the label and both push buttons, the
    # last controls it draws, show their colours.
    "zoomatch": (quiz_exe, "www.example.org Биология - наука и обхват",
                 [LABEL, (1680 // 15 + 6, 3960 // 15 + 6, 0xC0FFC0), (360 // 15 + 6, 3960 // 15 + 6, 0xFF8080)]),
}

screen = display.Display()
root = screen.screen().root
NET_WM_NAME = screen.intern_atom("_NET_WM_NAME")
UTF8 = screen.intern_atom("UTF8_STRING")
PROTOCOLS = screen.intern_atom("WM_PROTOCOLS")
DELETE = screen.intern_atom("WM_DELETE_WINDOW")


def find(caption):
    for window in root.query_tree().children:
        try:
            name = window.get_full_property(NET_WM_NAME, UTF8)
            if name and name.value.decode() == caption and \
                    window.get_attributes().map_state == X.IsViewable:
                return window
        except error.XError:
            continue
    return None


def painted(window, probes):
    try:
        origin = window.translate_coords(root, 0, 0)
        for x, y, colour in probes:
            data = root.get_image(x - origin.x, y - origin.y, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
            if (data[2] << 16) | (data[1] << 8) | data[0] != colour:
                return False
        return True
    except error.XError:
        return False


def run(name):
    exe, caption, probes = PROGRAMS[name]
    start = time.monotonic()
    program = subprocess.Popen([WINE, exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    while time.monotonic() - start < 30:
        window = window or find(caption)
        if window and painted(window, probes):
            elapsed = time.monotonic() - start
            break
        time.sleep(0.002)
    else:
        program.kill()
        program.wait()
        sys.exit(f"first_frame.py: {name} showed no frame in 30 s")
    window.send_event(protocol.event.ClientMessage(
        window=window, client_type=PROTOCOLS, data=(32, [DELETE, X.CurrentTime, 0, 0, 0])))
    screen.flush()
    try:
        program.wait(timeout=20)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
    return elapsed


server = subprocess.Popen([WINESERVER, "-f", "-p"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    times = {name: [] for name in PROGRAMS}
    for name in PROGRAMS:  # warm-up: Wine's services and the file cache
        run(name)
        run(name)
    for round_ in range(rounds):
        order = list(PROGRAMS) if round_ % 2 == 0 else list(reversed(PROGRAMS))
        for name in order:
            times[name].append(run(name))
finally:
    subprocess.run([WINESERVER, "-k"], stderr=subprocess.DEVNULL)
    server.wait()

print(f"{'program':12} {'runs':>4} {'median ms':>9} {'mean ms':>8} {'min ms':>7} {'max ms':>7}")
for name, values in times.items():
    ms = [1000 * value for value in values]
    print(f"{name:12} {len(ms):4} {statistics.median(ms):9.1f} {statistics.mean(ms):8.1f} "
          f"{min(ms):7.1f} {max(ms):7.1f}")
ratio = statistics.median(times["zoomatch"]) / statistics.median(times["floor_label"])
print(f"\nfirst frame (medians): zoomatch / floor_label = {ratio:.3f}   "
      f"(target <= 1.20: {'met' if ratio <= 1.2 else 'MISSED'})")

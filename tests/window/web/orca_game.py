#!/usr/bin/python3
"""The page played from the keyboard in Chromium with Orca: each key and
what Orca must say after it (run by orca-session.sh, played by orca_player.py).
   orca_game.py ORCA-DEBUG-LOG SPOKEN-FILE ORCA-PID"""
import os
import sys

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../.."))
from orca_player import play  # noqa: E402
from x11_windows import find_window  # noqa: E402

# Each key with what Orca says after it. In a web page Orca reads in browse
# mode, where the arrow keys move its own caret: the learner switches to focus
# mode (Orca+A) to move through a column with them, as Orca users do in any
# page. The learner checks a wrong pair twice with Return (each verdict is
# said again), picks the right pair by arrow keys and checks it with Space,
# reads the output box, finds both blanked buttons, and clears the board.
GAME = [
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10.", "Режим на разглеждане"]),
    ("Orca+a", ["Режим на фокус"]),
    ("Down", ["батрахология.", "избран радио бутон", "наука 2 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Свързан с панел.", "бозайници.",
             "неизбран радио бутон", "предмет 1 от 10.", "Режим на разглеждане"]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "напускане на панел.", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Return", ["return ", "Грешен отговор."]),
    ("Return", ["return ", "Грешен отговор.\u200b"]),
    ("Shift_L+Tab", ["ляв shift ", "Чисти бутон."]),
    ("Shift_L+Tab", ["ляв shift ", "Свързан с панел.", "бозайници.", "избран радио бутон",
             "предмет 1 от 10."]),
    ("Orca+a", ["Режим на фокус"]),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10."]),
    ("Shift_L+Tab", ["ляв shift ", "напускане на панел.", "Митичен герой панел.", "батрахология.",
             "избран радио бутон", "наука 2 от 10.", "Режим на разглеждане"]),
    ("Orca+a", ["Режим на фокус"]),
    ("Up", ["анатомия.", "избран радио бутон", "наука 1 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Свързан с панел.",
             "вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10.",
             "Режим на разглеждане"]),
    ("Tab", ["табулация ", "напускане на панел.", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("space", ["интервал ", "анатомия е наука за вътрешен строеж на организми Вярно! Позна."]),
    ("Shift_L+Tab", ["ляв shift ", "Чисти бутон."]),
    ("Shift_L+Tab", ["ляв shift ", "Свързан с панел.", "форми и устройство на животни.",
             "неизбран радио бутон", "предмет 10 от 10."]),
    ("Shift_L+Tab", ["ляв shift ", "напускане на панел.", "Митичен герой панел.", "цитология.",
             "неизбран радио бутон", "наука 10 от 10."]),
    ("Shift_L+Tab", ["ляв shift ", "напускане на панел.",
             "Резултат само за четене поле за писане анатомия е наука за вътрешен строеж на организми.",
             "Режим на фокус"]),
    ("Tab", ["табулация ", "Митичен герой панел.", "цитология.", "неизбран радио бутон",
             "наука 10 от 10.", "Режим на разглеждане"]),
    ("Orca+a", ["Режим на фокус"]),
    ("Down", ["решено.", "избран радио бутон", "наука 1 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Свързан с панел.",
             "форми и устройство на животни.", "неизбран радио бутон", "предмет 10 от 10.",
             "Режим на разглеждане"]),
    ("Orca+a", ["Режим на фокус"]),
    ("Down", ["бозайници.", "избран радио бутон", "предмет 1 от 10."]),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["решено.", "избран радио бутон", "предмет 3 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Чисти бутон.", "Режим на разглеждане"]),
    ("Return", ["return ", "Направете своя избор!"]),
    ("Tab", ["табулация ", "Изведи бутон."]),
]
# As the page opens: the window, the page's main part and the output box
# with the first line of the introduction, which the box holds the focus in.
OPENING = ["Екранният четец е включен.", "Chromium рамка.", "основно съдържание",
           "Резултат само за четене поле за писане Биологията е наука за живота.",
           "Режим на фокус", "Зареждане, изчакайте."]


def chromium_window(root):
    return find_window(root, lambda window: (window.get_wm_class() or ("", ""))[1] == "Chromium")


play(GAME, OPENING, chromium_window)

#!/usr/bin/python3
"""The Linux program played from the keyboard with Orca: each key and what
Orca must say after it (run by orca-session.sh, played by orca_player.py).
   orca_game.py ORCA-DEBUG-LOG SPOKEN-FILE ORCA-PID"""
import os
import sys

sys.dont_write_bytecode = True  # nothing of the test lands in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../.."))
from orca_player import play  # noqa: E402
from x11_windows import zoomatch_window  # noqa: E402

# Each key with what Orca says after it. The learner picks a wrong pair and
# checks it with Return, picks the right one by arrow keys and checks it with
# Space, finds the blanked button, and clears the board with Return. (The
# keypad's Enter is Orca's own "where am I" key and never reaches the quiz.)
GAME = [
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Down", ["батрахология.", "неизбран радио бутон", "наука 2 от 10."]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "Свързан с панел.", "бозайници.", "неизбран радио бутон",
             "предмет 1 от 10."]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Return", ["return ", "известяване Грешен отговор."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.", "Грешен отговор."]),
    ("Tab", ["табулация ", "Митичен герой панел.", "батрахология.", "избран радио бутон",
             "наука 2 от 10."]),
    ("Up", ["анатомия.", "избран радио бутон", "наука 1 от 10."]),
    ("Tab", ["табулация ", "Свързан с панел.", "бозайници.", "избран радио бутон",
             "предмет 1 от 10."]),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10."]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("space", ["интервал ", "известяване анатомия е наука за вътрешен строеж на организми\nВярно! Позна."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.",
             "анатомия е наука за вътрешен строеж на организми."]),
    ("Tab", ["табулация ", "Митичен герой панел.", "решено.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Tab", ["табулация ", "Свързан с панел.", "решено.", "неизбран радио бутон",
             "предмет 3 от 10."]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Return", ["return ", "известяване Направете своя избор!"]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.", "Направете своя избор!"]),
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
]
# As the window opens, after Orca's own greeting: the title, the heading and
# the output box with the first line of the introduction.
OPENING = ["Екранният четец е включен.", "www.example.org Биология - наука и обхват рамка.",
           "Биология - науки за животните.", "Резултат само за четене текст.",
           "Биологията е наука за живота."]

play(GAME, OPENING, zoomatch_window)

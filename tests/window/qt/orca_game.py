"""The Linux program played from the keyboard with Orca, as orca_player.py
plays it: each key and what Orca must say after it."""

# Each key with what Orca says after it. The learner picks the right pair by
# arrow keys alone (Up from the top wraps to the bottom) and checks it with
# Return, finds the blanked button named as solved, checks a wrong pair twice
# with Space (the verdict is said both times), goes back with Shift+Tab and
# clears the board with Return. (The keypad's Enter is Orca's own "where am
# I" key and never reaches the quiz.)
GAME = [
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Up", ["цитология.", "избран радио бутон", "наука 10 от 10."]),
    ("Tab", ["табулация ", "Свързан с панел.", "бозайници.", "неизбран радио бутон",
             "предмет 1 от 10."]),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10."]),
    ("Down", ["земноводни.", "избран радио бутон", "предмет 4 от 10."]),
    ("Down", ["клетки на животинско тяло.", "избран радио бутон", "предмет 5 от 10."]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Return", ["return ", "известяване цитология е наука за клетки на животинско тяло\nВярно! Позна."]),
    ("Tab", ["табулация ", "Резултат само за четене текст.",
             "цитология е наука за клетки на животинско тяло."]),
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Up", ["решено.", "избран радио бутон", "наука 10 от 10."]),
    ("Tab", ["табулация ", "Свързан с панел.", "бозайници.", "неизбран радио бутон",
             "предмет 1 от 10."]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("space", ["интервал ", "известяване Грешен отговор."]),
    ("space", ["интервал ", "известяване Грешен отговор."]),
    ("Shift_L+Tab", ["ляв shift ", "Чисти бутон."]),
    ("Return", ["return ", "известяване Направете своя избор!"]),
    ("Shift_L+Tab", ["ляв shift ", "Свързан с панел.", "бозайници.", "неизбран радио бутон",
                     "предмет 1 от 10."]),
]
# As the window opens, after Orca's own greeting: the title, the heading and
# the output box with the first line of the introduction.
OPENING = ["Екранният четец е включен.", "www.example.org Биология - наука и обхват рамка.",
           "Биология - науки за животните.", "Резултат само за четене текст.",
           "Биологията е наука за живота."]

WINDOW_CLASS = "zoomatch"

"""The page played from the keyboard in Chromium with Orca, as orca_player.py
plays it: each key and what Orca must say after it."""

# Each key with what Orca says after it. In a web page Orca reads in browse
# mode, where the arrow keys move its own caret: the learner switches to focus
# mode (Orca+A) to move through a column with them, as Orca users do in any
# page. The learner checks a wrong pair twice with Return (each verdict is
# said again), picks the right pair by arrow keys and checks it with Space,
# reads the output box, finds both blanked buttons (Tab and Shift+Tab enter a
# column with nothing selected at its top), goes round both columns with the
# arrows, clears the board, and goes round from Изведи to the output box.
GAME = [
    ("Tab", ["табулация ", "Митичен герой панел.", "анатомия.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Orca+a", []),
    ("Down", ["батрахология.", "избран радио бутон", "наука 2 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Свързан с панел.", "бозайници.",
             "неизбран радио бутон", "предмет 1 от 10."]),
    ("space", ["интервал ", "избран"]),
    ("Tab", ["табулация ", "напускане на панел.", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Return", ["return ", "Грешен отговор."]),
    ("Return", ["return ", "Грешен отговор.\u200b"]),
    ("Shift_L+Tab", ["ляв shift ", "Чисти бутон."]),
    ("Shift_L+Tab", ["ляв shift ", "Свързан с панел.", "бозайници.", "избран радио бутон",
             "предмет 1 от 10."]),
    ("Orca+a", []),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10."]),
    ("Shift_L+Tab", ["ляв shift ", "напускане на панел.", "Митичен герой панел.", "батрахология.",
             "избран радио бутон", "наука 2 от 10."]),
    ("Orca+a", []),
    ("Up", ["анатомия.", "избран радио бутон", "наука 1 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Свързан с панел.",
             "вътрешен строеж на организми.", "избран радио бутон", "предмет 3 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Чисти бутон."]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("space", ["интервал ", "анатомия е наука за вътрешен строеж на организми Вярно! Позна."]),
    ("Shift_L+Tab", ["ляв shift ", "Чисти бутон."]),
    ("Shift_L+Tab", ["ляв shift ", "Свързан с панел.", "бозайници.", "неизбран радио бутон",
             "предмет 1 от 10."]),
    ("Shift_L+Tab", ["ляв shift ", "напускане на панел.", "Митичен герой панел.", "решено.",
             "неизбран радио бутон", "наука 1 от 10."]),
    ("Shift_L+Tab", ["ляв shift ", "напускане на панел.",
             "Резултат само за четене поле за писане анатомия е наука за вътрешен строеж на организми."]),
    ("Tab", ["табулация ", "Митичен герой панел.", "решено.", "неизбран радио бутон",
             "наука 1 от 10."]),
    ("Orca+a", []),
    ("Up", ["цитология.", "избран радио бутон", "наука 10 от 10."]),
    ("Down", ["решено.", "избран радио бутон", "наука 1 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Свързан с панел.", "бозайници.",
             "неизбран радио бутон", "предмет 1 от 10."]),
    ("Orca+a", []),
    ("Up", ["форми и устройство на животни.", "избран радио бутон", "предмет 10 от 10."]),
    ("Down", ["бозайници.", "избран радио бутон", "предмет 1 от 10."]),
    ("Down", ["влечуги.", "избран радио бутон", "предмет 2 от 10."]),
    ("Down", ["решено.", "избран радио бутон", "предмет 3 от 10."]),
    ("Tab", ["табулация ", "напускане на панел.", "Чисти бутон."]),
    ("Return", ["return ", "Направете своя избор!"]),
    ("Tab", ["табулация ", "Изведи бутон."]),
    ("Tab", ["табулация ", "Резултат само за четене поле за писане Направете своя избор!"]),
]
# As the page opens (after Chromium's window, named as its timing goes): the
# page's main part and the output box, which holds the focus, with the first
# line of the introduction.
OPENING = ["основно съдържание",
           "Резултат само за четене поле за писане Биологията е наука за живота."]

WINDOW_CLASS = "Chromium"
# Orca says when it changes between browse and focus mode, and that a page is
# loading, as its timing goes: those notices are not checked.
UNCHECKED = {"Режим на разглеждане", "Режим на фокус", "Зареждане, изчакайте."}

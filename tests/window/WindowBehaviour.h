// The quiz window's behaviour, once for every front end: scenarios of steps,
// each an input and the whole state the window must be in after it. Every
// front end's test driver plays them through real input on its real
// controls; the core's tests play those without keys against ControlsModel.
//
// A driver opens a fresh window for each scenario, checks the start state
// (Start), then for each step gives the input and compares:
// - the control that holds the keyboard focus;
// - which option of each column is selected (at most one; all twenty read);
// - the twenty captions: each option's table entry, or "" for a row blanked;
// - the output text, exactly, CR LF included;
// - what screen readers were told by this step: nothing, or this text once
//   (the same text twice in a row is told twice).
// The keyboard rule: Up/Left and Down/Right on an option move to the option
// above or below it on screen and select it, wrapping at both ends; elsewhere
// they change nothing the steps see. Space selects the focused option. Tab and
// Shift+Tab go round the output box, the science column, the subject column,
// Чисти and Изведи, entering a column at its selected option, else at its
// top one. Enter or Space on a push button presses it; Enter and Escape
// elsewhere press nothing.
#pragma once

#include "FormDefinition.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace behaviour {

// The keys of the window's keyboard rule. ShiftTab is Tab with Shift held.
enum class Key { Tab, ShiftTab, Up, Down, Left, Right, Space, Enter, Escape };

// Its name as the tests print it ("Tab", "ShiftTab", "Up", ...).
std::string_view keyName(Key key);

struct Input {
    enum class Kind { Start, Click, Key } kind = Kind::Start;
    window::Member
        control;        // Click: the control clicked with the mouse's main button, at its centre
    Key key = Key::Tab; // Key: pressed and released wherever the focus is
};

inline constexpr int None = -1;

struct Step {
    Input input;
    window::Member focus;
    int science = None;        // the selected row of Option1, or None
    int subject = None;        // the selected row of Option2, or None
    std::uint16_t blanked = 0; // bit k: row k's two options show "" (both columns)
    std::u16string output;
    std::optional<std::u16string> announced; // nothing: no announcement
};

struct Scenario {
    std::string_view name;
    std::vector<Step> steps; // steps[0] is the start, with the start state
    // True when a step presses a key; the core's tests play only the others.
    bool usesKeys() const;
};

const std::vector<Scenario>& scenarios();

// A random game of `count` inputs after the start (clicks on any option or
// push button, and every key of the rule), with the state after each worked
// out by an independent reference of the rules and the keyboard rule, for
// the soaks. The same seed gives the same steps everywhere.
Scenario randomGame(unsigned seed, long long count);
// The scenario's inputs played on that reference: the states it expects.
Scenario referencePlay(const Scenario& scenario);

// The caption option `row` of `group` shows in a step's state.
std::u16string_view expectedCaption(const Step& step, quiz::OptionGroup group, int row);

} // namespace behaviour

// The definition of the quiz window as data: every control with its kind,
// member, caption, place in twips and background colour, and what follows
// from them for every front end alike: each control's place in pixels at any
// DPI, the option groups and their order on screen, the tab order, the ids,
// and the texts that screen readers get. Each front end builds its window
// from this and nothing else; nothing moves at run time.
#pragma once

#include "QuizEvents.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace window {

enum class Kind { Label, Frame, OptionButton, PushButton, TextBox };

// A member of a control array, such as Option1(3). An empty name is the window.
struct Member {
    std::string_view name;
    int index = 0;
    friend constexpr bool operator==(const Member&, const Member&) = default;
};

// The background the platform gives a text box: the system window colour.
inline constexpr std::uint32_t SystemWindowColour = 0xFF000000;

struct ControlDef {
    Kind kind;
    Member member;
    Member parent; // children of a frame are placed from the frame's top left, title included
    std::u16string_view caption;
    int left, top, width, height; // twips
    std::uint32_t background;     // 0xRRGGBB or SystemWindowColour
};

struct WindowDef {
    std::u16string_view caption;
    int clientWidth, clientHeight; // twips; the learner cannot resize the window
    std::uint32_t background;
    std::uint32_t textColour;    // of every caption; the output box keeps the system's
    std::string_view fontFamily; // every control uses this one font
    std::string_view fallbackFontFamily;
    int fontPointSize;
    // What a screen reader says of controls that have no caption of their own
    // or may lose it: the output box, each option button by its column and
    // its row on screen (%1, from 1), so a blanked button can be found, and
    // the name of a button whose row has been solved and blanked.
    std::u16string_view outputName;
    std::u16string_view scienceDescription;
    std::u16string_view subjectDescription;
    std::u16string_view solvedName;
};

const WindowDef& windowDefinition();

// In creation order: the label, each frame followed by its column from top
// to bottom, the push buttons left to right, the output box. The option
// buttons' captions are their rows of the quiz table.
std::span<const ControlDef> controlDefinitions();

// The control of a member, or null when the definition has none.
const ControlDef* control(const Member& member);

// The control array that raises a member's clicks; nothing for a control
// that raises none (the label, the frames, the output box).
std::optional<quiz::ControlArray> controlArray(const Member& member);
// The option group of an option button; nothing for other controls.
std::optional<quiz::OptionGroup> optionGroup(const Member& member);

// The id of a control wherever a platform names controls by text: a page's
// element id, an object or automation name. "Option1-3", "Text1-0";
// "MainForm" for the window itself.
std::string controlId(const Member& member);

// A rectangle in pixels.
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Twips to pixels at `dpi` dots per inch (96 is 100 %, 120 is 125 %, 144 is
// 150 %, 192 is 200 %), rounded to the nearest pixel, halves up. Every
// front end uses this one rule. 0 <= twips, 0 < dpi.
int pixels(int twips, int dpi);
// The client area at `dpi`: width and height.
PixelRect clientRect(int dpi);
// A control's place in the window's client area at `dpi`. Each edge is
// rounded on its own, so controls that meet in twips meet on screen and a
// gap in twips stays a gap of the same pixels wherever it is.
PixelRect windowRect(const ControlDef& control, int dpi);
// The same from the top left of its parent (the frame, title included, for
// an option button): its window rectangle less the parent's corner.
PixelRect parentRect(const ControlDef& control, int dpi);

// The rows of an option group from top to bottom as the window shows them:
// the sciences in row order, the subjects in alphabetical order.
const std::array<quiz::RowIndex, quiz::RowCount>& columnRows(quiz::OptionGroup group);
// Where an arrow key goes from `row` of `group`: the next option down
// (step 1) or up (step -1) on screen, from the last to the first and from the
// first to the last. Blanked options count like any other. 0 <= row < RowCount.
quiz::RowIndex neighbour(quiz::OptionGroup group, quiz::RowIndex row, int step);

// The tab order: the output box, the science options, the subject options
// (each column top to bottom), Чисти, Изведи. Tab enters a column at its
// selected option, or at its top option when none is selected.
std::span<const ControlDef* const> tabOrder();

// What a screen reader says of an option besides its caption: its column and
// its row on screen, from 1 ("наука 3 от 10"). Empty for other controls.
std::u16string description(const ControlDef& control);

// A caption as a toolkit that marks access keys with '&' must be given it:
// every '&' doubled, so the quiz's captions carry no access key.
std::u16string withoutAccessKeys(std::u16string_view caption);
// The caption back from such a toolkit's text: each "&&" halved.
std::u16string withAccessKeysUndone(std::u16string_view shown);

} // namespace window

// The definition of the quiz window as data: every control with its kind,
// member, caption, place in twips and background colour. MainForm builds
// itself from this table; nothing moves at run time.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace window {

// 15 twips make one device-independent pixel.
inline constexpr int TwipsPerPixel = 15;
constexpr int pixels(int twips) {
    return twips / TwipsPerPixel;
}

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

// In creation order. The option buttons' captions are their rows of the quiz table.
std::span<const ControlDef> controlDefinitions();

} // namespace window

#include "FormDefinition.h"

#include "QuizTable.h"

#include <array>

namespace window {

namespace {

using quiz::QuizTable;

constexpr Member Form{};
constexpr Member Frame1_0{"Frame1", 0};
constexpr Member Frame1_16{"Frame1", 16};

constexpr auto Label = Kind::Label;
constexpr auto Frame = Kind::Frame;
constexpr auto Option = Kind::OptionButton;
constexpr auto PushButton = Kind::PushButton;
constexpr auto TextBox = Kind::TextBox;

constexpr std::uint32_t Science = 0xC0FFC0; // the science buttons' green
constexpr std::uint32_t Subject = 0xFFC0FF; // the subject buttons' pink

// clang-format off
const WindowDef window{
    .caption = u"www.example.org Биология - наука и обхват",
    .clientWidth = 6915, .clientHeight = 6225,
    .background = 0xC0C0FF,
    .fontFamily = "Times New Roman", .fallbackFontFamily = "Liberation Serif",
    .fontPointSize = 12,
    .outputName = u"Резултат",
    .scienceDescription = u"наука %1 от 10",
    .subjectDescription = u"предмет %1 от 10",
    .solvedName = u"решено",
};
// clang-format on

// The subject column stands in alphabetical order of its captions, not in row
// order, so that a subject's place never gives away the science it belongs to.
// clang-format off
const std::array controls{
//         kind        member           parent     caption                           left   top  width height background
    ControlDef{Label,      {"Label1", 0},    Form,      u"Биология - науки за животните",  960,    0, 4575,  375, 0xFFC080},
    ControlDef{Frame,      Frame1_0,         Form,      u"Митичен герой",                  120,  480, 2415, 3375, 0xC0C0FF},
    ControlDef{Frame,      Frame1_16,        Form,      u"Свързан с",                     2640,  480, 3975, 3375, 0xC0C0FF},
    ControlDef{Option,     {"Option1", 0},   Frame1_0,  QuizTable::science(0),             120,  300, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 1},   Frame1_0,  QuizTable::science(1),             120,  600, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 2},   Frame1_0,  QuizTable::science(2),             120,  900, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 3},   Frame1_0,  QuizTable::science(3),             120, 1200, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 4},   Frame1_0,  QuizTable::science(4),             120, 1500, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 5},   Frame1_0,  QuizTable::science(5),             120, 1800, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 6},   Frame1_0,  QuizTable::science(6),             120, 2100, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 7},   Frame1_0,  QuizTable::science(7),             120, 2400, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 8},   Frame1_0,  QuizTable::science(8),             120, 2700, 2175,  300, Science},
    ControlDef{Option,     {"Option1", 9},   Frame1_0,  QuizTable::science(9),             120, 3000, 2175,  300, Science},
    ControlDef{Option,     {"Option2", 6},   Frame1_16, QuizTable::subject(6),             120,  300, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 7},   Frame1_16, QuizTable::subject(7),             120,  600, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 0},   Frame1_16, QuizTable::subject(0),             120,  900, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 1},   Frame1_16, QuizTable::subject(1),             120, 1200, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 9},   Frame1_16, QuizTable::subject(9),             120, 1500, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 2},   Frame1_16, QuizTable::subject(2),             120, 1800, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 5},   Frame1_16, QuizTable::subject(5),             120, 2100, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 3},   Frame1_16, QuizTable::subject(3),             120, 2400, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 8},   Frame1_16, QuizTable::subject(8),             120, 2700, 3735,  300, Subject},
    ControlDef{Option,     {"Option2", 4},   Frame1_16, QuizTable::subject(4),             120, 3000, 3735,  300, Subject},
    ControlDef{PushButton, {"Command1", 1},  Form,      u"Чисти",                          360, 3960, 1095,  375, 0xFF8080},
    ControlDef{PushButton, {"Command1", 0},  Form,      u"Изведи",                        1680, 3960, 1095,  375, 0xC0FFC0},
    ControlDef{TextBox,    {"Text1", 0},     Form,      QuizTable::introduction(),         120, 4320, 6735, 1815, SystemWindowColour},
};
// clang-format on

} // namespace

const WindowDef& windowDefinition() {
    return window;
}

std::span<const ControlDef> controlDefinitions() {
    return controls;
}

} // namespace window

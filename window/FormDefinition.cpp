#include "FormDefinition.h"

#include "QuizTable.h"

#include <algorithm>
#include <array>
#include <utility>

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
    .textColour = 0x000000,
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

// The edge of a rectangle in pixels: nearest, halves up.
int edge(int twips, int dpi) {
    return static_cast<int>((static_cast<long long>(twips) * dpi + 720) / 1440);
}

PixelRect rectAt(int left, int top, int width, int height, int dpi) {
    const int x = edge(left, dpi);
    const int y = edge(top, dpi);
    return {x, y, edge(left + width, dpi) - x, edge(top + height, dpi) - y};
}

// A control's corner in twips from the client area's top left.
std::pair<int, int> corner(const ControlDef& def) {
    if (def.parent.name.empty())
        return {def.left, def.top};
    const ControlDef* parent = control(def.parent);
    const auto [left, top] = parent ? corner(*parent) : std::pair{0, 0};
    return {left + def.left, top + def.top};
}

std::array<quiz::RowIndex, quiz::RowCount> rowsOnScreen(quiz::OptionGroup group) {
    std::array<quiz::RowIndex, quiz::RowCount> rows{};
    std::size_t next = 0;
    for (const ControlDef& def : controls)
        if (optionGroup(def.member) == group && next < rows.size())
            rows[next++] = static_cast<quiz::RowIndex>(def.member.index);
    return rows;
}

std::vector<const ControlDef*> tabStops() {
    std::vector<const ControlDef*> order;
    for (Kind kind : {Kind::TextBox, Kind::OptionButton, Kind::PushButton})
        for (const ControlDef& def : controls)
            if (def.kind == kind)
                order.push_back(&def);
    return order;
}

} // namespace

const WindowDef& windowDefinition() {
    return window;
}

std::span<const ControlDef> controlDefinitions() {
    return controls;
}

const ControlDef* control(const Member& member) {
    for (const ControlDef& def : controls)
        if (def.member == member)
            return &def;
    return nullptr;
}

std::optional<quiz::ControlArray> controlArray(const Member& member) {
    const auto array = quiz::controlArray(member.name);
    if (array && quiz::isMember(*array, member.index))
        return array;
    return std::nullopt;
}

std::optional<quiz::OptionGroup> optionGroup(const Member& member) {
    const auto array = controlArray(member);
    return array ? quiz::optionGroup(*array) : std::nullopt;
}

std::string controlId(const Member& member) {
    if (member.name.empty())
        return "MainForm";
    return std::string(member.name) + '-' + std::to_string(member.index);
}

int pixels(int twips, int dpi) {
    return edge(twips, dpi);
}

PixelRect clientRect(int dpi) {
    return rectAt(0, 0, window.clientWidth, window.clientHeight, dpi);
}

PixelRect windowRect(const ControlDef& control, int dpi) {
    const auto [left, top] = corner(control);
    return rectAt(left, top, control.width, control.height, dpi);
}

PixelRect parentRect(const ControlDef& def, int dpi) {
    PixelRect rect = windowRect(def, dpi);
    if (const ControlDef* parent = control(def.parent)) {
        const PixelRect outer = windowRect(*parent, dpi);
        rect.left -= outer.left;
        rect.top -= outer.top;
    }
    return rect;
}

const std::array<quiz::RowIndex, quiz::RowCount>& columnRows(quiz::OptionGroup group) {
    static const std::array columns{rowsOnScreen(quiz::OptionGroup::Option1),
                                    rowsOnScreen(quiz::OptionGroup::Option2)};
    return columns[quiz::column(group)];
}

quiz::RowIndex neighbour(quiz::OptionGroup group, quiz::RowIndex row, int step) {
    const auto& rows = columnRows(group);
    const auto at = std::find(rows.begin(), rows.end(), row) - rows.begin();
    const auto count = static_cast<long>(rows.size());
    return rows[static_cast<std::size_t>(((at + step) % count + count) % count)];
}

std::span<const ControlDef* const> tabOrder() {
    static const std::vector<const ControlDef*> order = tabStops();
    return order;
}

std::u16string description(const ControlDef& def) {
    const auto group = optionGroup(def.member);
    if (!group)
        return {};
    const auto& rows = columnRows(*group);
    const auto onScreen = std::find(rows.begin(), rows.end(), def.member.index) - rows.begin() + 1;
    std::u16string text(*group == quiz::OptionGroup::Option1 ? window.scienceDescription
                                                             : window.subjectDescription);
    const std::string number = std::to_string(onScreen);
    if (const std::size_t mark = text.find(u"%1"); mark != std::u16string::npos)
        text.replace(mark, 2, std::u16string(number.begin(), number.end()));
    return text;
}

std::u16string withoutAccessKeys(std::u16string_view caption) {
    std::u16string shown;
    for (char16_t c : caption) {
        shown += c;
        if (c == u'&')
            shown += u'&';
    }
    return shown;
}

std::u16string withAccessKeysUndone(std::u16string_view shown) {
    std::u16string caption;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        caption += shown[i];
        if (shown[i] == u'&' && i + 1 < shown.size() && shown[i + 1] == u'&')
            ++i;
    }
    return caption;
}

} // namespace window

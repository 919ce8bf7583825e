// The window definition's shared rules, which every front end takes as they
// are: places at any DPI, the columns and their order, the tab order, ids,
// descriptions and '&' escaping. Each front end's own test then compares its
// real controls with these.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "FormDefinition.h"
#include "Utf16Text.h"

#include <ostream>
#include <set>
#include <tuple>
#include <vector>

using quiz::OptionGroup;
using window::Member;
using window::PixelRect;

namespace window {
std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
    return out << '{' << r.left << ", " << r.top << ", " << r.width << ", " << r.height << '}';
}
} // namespace window

namespace {

const window::ControlDef& def(Member member) {
    const window::ControlDef* found = window::control(member);
    REQUIRE(found);
    return *found;
}

} // namespace

TEST_CASE("places in pixels at 100, 125, 150 and 200 %") {
    // At 96 dpi every place is its twips / 15 exactly; elsewhere each edge is
    // rounded to the nearest pixel, halves up.
    CHECK(window::clientRect(96) == PixelRect{0, 0, 461, 415});
    CHECK(window::clientRect(144) == PixelRect{0, 0, 692, 623});
    CHECK(window::windowRect(def({"Label1", 0}), 96) == PixelRect{64, 0, 305, 25});
    CHECK(window::windowRect(def({"Option2", 6}), 96) == PixelRect{184, 52, 249, 20});
    CHECK(window::parentRect(def({"Option2", 6}), 96) == PixelRect{8, 20, 249, 20});
    CHECK(window::windowRect(def({"Option1", 0}), 144) == PixelRect{24, 78, 218, 30});
    CHECK(window::windowRect(def({"Command1", 0}), 120) == PixelRect{140, 330, 91, 31});

    for (int dpi : {96, 120, 144, 192}) {
        CAPTURE(dpi);
        const PixelRect client = window::clientRect(dpi);
        for (const window::ControlDef& control : window::controlDefinitions()) {
            CAPTURE(window::controlId(control.member));
            const PixelRect rect = window::windowRect(control, dpi);
            // Within the window, and within a pixel of the exact size.
            CHECK((rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= client.width &&
                   rect.top + rect.height <= client.height));
            CHECK(std::abs(rect.width * 1440 - control.width * dpi) < 1440);
            CHECK(std::abs(rect.height * 1440 - control.height * dpi) < 1440);
            if (const window::ControlDef* frame = window::control(control.parent)) {
                const PixelRect outer = window::windowRect(*frame, dpi);
                const PixelRect inner = window::parentRect(control, dpi);
                CHECK((inner.left == rect.left - outer.left && inner.top == rect.top - outer.top));
                CHECK(inner.left + inner.width <= outer.width);
            }
        }
        // The rows of a column meet without gap or overlap, as in twips.
        for (OptionGroup group : {OptionGroup::Option1, OptionGroup::Option2}) {
            const auto& rows = window::columnRows(group);
            const char* name = group == OptionGroup::Option1 ? "Option1" : "Option2";
            for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
                const PixelRect upper = window::windowRect(def({name, rows[i]}), dpi);
                const PixelRect lower = window::windowRect(def({name, rows[i + 1]}), dpi);
                CHECK(upper.top + upper.height == lower.top);
                CHECK((upper.left == lower.left && upper.width == lower.width));
            }
        }
    }
}

TEST_CASE("columns, arrows and the tab order") {
    using Rows = std::array<quiz::RowIndex, quiz::RowCount>;
    CHECK(window::columnRows(OptionGroup::Option1) == Rows{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    CHECK(window::columnRows(OptionGroup::Option2) == Rows{6, 7, 0, 1, 9, 2, 5, 3, 8, 4});
    // The subjects read alphabetically from the top.
    std::vector<std::u16string_view> captions;
    for (quiz::RowIndex row : window::columnRows(OptionGroup::Option2))
        captions.push_back(def({"Option2", row}).caption);
    CHECK(captions == std::vector<std::u16string_view>{
                          u"бозайници", u"влечуги", u"вътрешен строеж на организми", u"земноводни",
                          u"клетки на животинско тяло", u"насекоми", u"птици", u"риби",
                          u"тъкани на животинско тяло", u"форми и устройство на животни"});

    // {group, row, step, where the arrow goes}
    for (auto [group, row, step, to] : {std::tuple{OptionGroup::Option1, 0, -1, 9},
                                        {OptionGroup::Option1, 9, 1, 0},
                                        {OptionGroup::Option1, 4, 1, 5},
                                        {OptionGroup::Option2, 6, -1, 4},
                                        {OptionGroup::Option2, 4, 1, 6},
                                        {OptionGroup::Option2, 7, 1, 0},
                                        {OptionGroup::Option2, 0, -1, 7}})
        CHECK(window::neighbour(group, static_cast<quiz::RowIndex>(row), step) == to);

    std::vector<std::string> order;
    for (const window::ControlDef* stop : window::tabOrder())
        order.push_back(window::controlId(stop->member));
    CHECK(order == std::vector<std::string>{"Text1-0",   "Option1-0",  "Option1-1", "Option1-2",
                                            "Option1-3", "Option1-4",  "Option1-5", "Option1-6",
                                            "Option1-7", "Option1-8",  "Option1-9", "Option2-6",
                                            "Option2-7", "Option2-0",  "Option2-1", "Option2-9",
                                            "Option2-2", "Option2-5",  "Option2-3", "Option2-8",
                                            "Option2-4", "Command1-1", "Command1-0"});
}

TEST_CASE("ids, arrays, descriptions and captions") {
    // Every control's id is its own.
    std::set<std::string> ids{"MainForm"};
    for (const window::ControlDef& control : window::controlDefinitions())
        CHECK(ids.insert(window::controlId(control.member)).second);
    CHECK(window::controlId({}) == "MainForm");
    CHECK(window::controlId({"Option2", 9}) == "Option2-9");

    CHECK(window::controlArray({"Command1", 1}) == quiz::ControlArray::Command1);
    CHECK(window::optionGroup({"Option2", 9}) == OptionGroup::Option2);
    for (Member none : {Member{"Frame1", 0}, Member{"Text1", 0}, Member{"Option1", 10},
                        Member{"Command1", 2}, Member{}})
        CHECK((!window::controlArray(none) && !window::optionGroup(none)));

    CHECK(window::description(def({"Option1", 2})) == u"наука 3 от 10");
    CHECK(window::description(def({"Option2", 0})) == u"предмет 3 от 10");
    CHECK(window::description(def({"Option2", 4})) == u"предмет 10 от 10");
    CHECK(window::description(def({"Command1", 0})).empty());

    CHECK(window::withoutAccessKeys(u"A & B&&") == u"A && B&&&&");
    for (std::u16string_view caption : {u"", u"&", u"A & B", u"&&&", u"анатомия"})
        CHECK(window::withAccessKeysUndone(window::withoutAccessKeys(caption)) == caption);
}

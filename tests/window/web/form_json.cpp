// Prints the window definition and the window's behaviour as JSON, so that
// the browser tests take every place, colour, caption, id and step from the
// same definition and table the page and the other front ends are built from.
//   form_json              the definition and every scenario
//   form_json SEED COUNT   the definition and the random game of COUNT inputs
#include "FormDefinition.h"
#include "Unicode.h"
#include "WindowBehaviour.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using Json = std::string;

Json num(long long value) {
    return std::to_string(value);
}
// A UTF-16 text, or an ASCII one.
template <typename Text> Json str(const Text& text) {
    return '"' + quiz::jsonEscaped(std::u16string(text.begin(), text.end())) + '"';
}
Json id(const window::Member& member) {
    return str(window::controlId(member));
}

Json object(const std::vector<std::pair<std::string, Json>>& fields) {
    Json out = "{";
    for (const auto& [name, value] : fields)
        out += (out.size() > 1 ? ",\"" : "\"") + name + "\":" + value;
    return out + "}";
}

// f(x) for each x of the range but those f gives nothing for.
template <typename Range, typename F> Json list(const Range& range, F f) {
    Json out = "[";
    for (const auto& x : range)
        if (Json value = f(x); !value.empty())
            out += (out.size() > 1 ? "," : "") + value;
    return out + "]";
}

// A place at each of the tested dpis: {"96":[left,top,width,height],...}.
template <typename RectAt> Json rects(RectAt at) {
    std::vector<std::pair<std::string, Json>> fields;
    for (int dpi : {96, 120, 144, 192}) {
        const window::PixelRect r = at(dpi);
        const int values[] = {r.left, r.top, r.width, r.height};
        fields.emplace_back(num(dpi), list(values, num));
    }
    return object(fields);
}

Json definition() {
    constexpr std::string_view kinds[] = {"label", "frame", "option", "button", "textbox"};
    const auto& form = window::windowDefinition();
    const auto control = [&](const window::ControlDef& def) {
        const bool system = def.background == window::SystemWindowColour;
        return object({{"id", id(def.member)},
                       {"kind", str(kinds[static_cast<int>(def.kind)])},
                       {"parent", def.parent.name.empty() ? "null" : id(def.parent)},
                       {"caption", str(def.caption)},
                       {"description", str(window::description(def))},
                       {"background", num(system ? -1LL : def.background)},
                       {"rects", rects([&](int dpi) { return window::windowRect(def, dpi); })}});
    };
    return object(
        {{"caption", str(form.caption)},
         {"client", rects(window::clientRect)},
         {"background", num(form.background)},
         {"outputName", str(form.outputName)},
         {"solvedName", str(form.solvedName)},
         {"controls", list(window::controlDefinitions(), control)},
         {"tabOrder", list(window::tabOrder(), [](auto def) { return id(def->member); })}});
}

Json step(const behaviour::Step& s) {
    using Kind = behaviour::Input::Kind;
    const Kind kind = s.input.kind;
    const std::pair<std::string_view, int> selected[] = {{"Option1", s.science},
                                                         {"Option2", s.subject}};
    const auto checked = [](const auto& row) {
        return row.second == behaviour::None ? Json() : id({row.first, row.second});
    };
    // The captions of the options in the definition's order.
    const auto caption = [&](const window::ControlDef& def) {
        const auto group = window::optionGroup(def.member);
        return group ? str(behaviour::expectedCaption(s, *group, def.member.index)) : Json();
    };
    return object({{"input", kind == Kind::Start ? "[\"start\"]"
                             : kind == Kind::Click
                                 ? "[\"click\"," + id(s.input.control) + "]"
                                 : "[\"key\"," + str(behaviour::keyName(s.input.key)) + "]"},
                   {"focus", id(s.focus)},
                   {"checked", list(selected, checked)},
                   {"captions", list(window::controlDefinitions(), caption)},
                   {"output", str(s.output)},
                   {"announced", s.announced ? str(*s.announced) : "null"}});
}

Json scenario(const behaviour::Scenario& game) {
    return object({{"name", str(game.name)}, {"steps", list(game.steps, step)}});
}

} // namespace

int main(int argc, char* argv[]) {
    const auto games = argc == 3 ? std::vector{behaviour::randomGame(
                                       static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)),
                                       std::strtoll(argv[2], nullptr, 10))}
                                 : behaviour::scenarios();
    std::puts(object({{"window", definition()}, {"scenarios", list(games, scenario)}}).c_str());
}

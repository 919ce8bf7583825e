// Prints the window definition and the window's behaviour as JSON, so that
// the browser tests take every place, colour, caption, id and step from the
// same definition and table the page and the other front ends are built
// from, rather than from a copy. Built for Node in the web tree.
//   form_json              the definition and every scenario
//   form_json SEED COUNT   the definition and the random game of COUNT inputs
#include "FormDefinition.h"
#include "Unicode.h"
#include "WindowBehaviour.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using window::ControlDef;

constexpr int Dpis[] = {96, 120, 144, 192};

std::string out;

void text(std::u16string_view value) {
    out += '"' + quiz::jsonEscaped(value) + '"';
}

void text(std::string_view value) {
    text(std::u16string(value.begin(), value.end()));
}

void id(const window::Member& member) {
    text(window::controlId(member));
}

void rect(const window::PixelRect& r) {
    out += "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.width) + "," + std::to_string(r.height) + "]";
}

template <typename RectAt> void rects(RectAt at) {
    out += "{";
    for (int dpi : Dpis) {
        out += (dpi == Dpis[0] ? "\"" : ",\"") + std::to_string(dpi) + "\":";
        rect(at(dpi));
    }
    out += "}";
}

constexpr std::string_view kinds[] = {"label", "frame", "option", "button", "textbox"};

void definition() {
    const auto& form = window::windowDefinition();
    out += "{\"caption\":";
    text(form.caption);
    out += ",\"client\":";
    rects([](int dpi) { return window::clientRect(dpi); });
    out += ",\"background\":" + std::to_string(form.background) +
           ",\"textColour\":" + std::to_string(form.textColour) + ",\"outputName\":";
    text(form.outputName);
    out += ",\"solvedName\":";
    text(form.solvedName);
    out += ",\n\"controls\":[";
    for (const ControlDef& def : window::controlDefinitions()) {
        out += def.member == window::controlDefinitions().front().member ? "\n{" : ",\n{";
        out += "\"id\":";
        id(def.member);
        out += ",\"kind\":";
        text(kinds[static_cast<int>(def.kind)]);
        out += ",\"parent\":";
        if (def.parent.name.empty())
            out += "null";
        else
            id(def.parent);
        out += ",\"caption\":";
        text(def.caption);
        out += ",\"description\":";
        text(window::description(def));
        out += ",\"background\":" + (def.background == window::SystemWindowColour
                                         ? std::string("-1")
                                         : std::to_string(def.background));
        out += ",\"rects\":";
        rects([&def](int dpi) { return window::windowRect(def, dpi); });
        out += "}";
    }
    out += "],\n\"tabOrder\":[";
    for (const ControlDef* def : window::tabOrder()) {
        out += def == window::tabOrder().front() ? "" : ",";
        id(def->member);
    }
    out += "]";
}

void step(const behaviour::Step& s) {
    using behaviour::Input;
    out += "{\"input\":[";
    if (s.input.kind == Input::Kind::Start) {
        out += "\"start\"";
    } else if (s.input.kind == Input::Kind::Click) {
        out += "\"click\",";
        id(s.input.control);
    } else {
        out += "\"key\",";
        text(behaviour::keyName(s.input.key));
    }
    out += "],\"focus\":";
    id(s.focus);
    out += ",\"checked\":[";
    if (s.science != behaviour::None)
        id({"Option1", s.science});
    if (s.subject != behaviour::None) {
        out += s.science != behaviour::None ? "," : "";
        id({"Option2", s.subject});
    }
    // The captions of the options in the definition's order.
    out += "],\"captions\":[";
    const char* separator = "";
    for (const ControlDef& def : window::controlDefinitions())
        if (const auto group = window::optionGroup(def.member)) {
            out += separator;
            text(behaviour::expectedCaption(s, *group, def.member.index));
            separator = ",";
        }
    out += "],\"output\":";
    text(s.output);
    out += ",\"announced\":";
    if (s.announced)
        text(*s.announced);
    else
        out += "null";
    out += "}";
}

void scenario(const behaviour::Scenario& game) {
    out += "{\"name\":";
    text(game.name);
    out += ",\"steps\":[";
    for (const auto& s : game.steps) {
        out += &s == &game.steps.front() ? "\n" : ",\n";
        step(s);
        if (out.size() > 1 << 16) {
            std::fputs(out.c_str(), stdout);
            out.clear();
        }
    }
    out += "]}";
}

} // namespace

int main(int argc, char* argv[]) {
    out += "{\"window\":";
    definition();
    out += "},\n\"scenarios\":[";
    if (argc == 3) {
        scenario(behaviour::randomGame(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)),
                                       std::strtoll(argv[2], nullptr, 10)));
    } else {
        for (const auto& game : behaviour::scenarios()) {
            out += &game == &behaviour::scenarios().front() ? "\n" : ",\n";
            scenario(game);
        }
    }
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

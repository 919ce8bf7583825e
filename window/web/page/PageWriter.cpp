#include "PageWriter.h"

#include "ControlsModel.h"
#include "FormDefinition.h"
#include "Unicode.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

using quiz::appendUtf8;
using quiz::codePoints;
using quiz::jsonEscaped;
using window::ControlDef;
using window::Kind;

namespace web {

namespace {

// The page keeps the window's geometry in em of the window's font, so one
// font size scales the whole window, sharp, to any screen. 12 point make 16
// CSS pixels, as at 96 dots per inch.
double fontPixels() {
    return window::windowDefinition().fontPointSize * 96.0 / 72.0;
}

std::string number(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    if (result.find('.') != std::string::npos) {
        while (result.back() == '0')
            result.pop_back();
        if (result.back() == '.')
            result.pop_back();
    }
    return result == "-0" ? "0" : result;
}

std::string em(double pixels) {
    const std::string value = number(pixels / fontPixels(), 5);
    return value == "0" ? value : value + "em";
}

std::string colour(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// Text for an element's content or a quoted attribute. A CR LF pair is one
// line break, as the window's output box shows it.
std::string escaped(std::u16string_view text) {
    std::string out;
    for (char32_t c : codePoints(text)) {
        switch (c) {
        case U'&':
            out += "&amp;";
            break;
        case U'<':
            out += "&lt;";
            break;
        case U'>':
            out += "&gt;";
            break;
        case U'"':
            out += "&quot;";
            break;
        case U'\r': // kept as a reference, which the parser does not fold into the LF
            out += "&#13;";
            break;
        default:
            appendUtf8(out, c);
        }
    }
    return out;
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The element's id ("Option1-3"), and its CSS selector after '#'.
std::string elementId(const window::Member& member) {
    return window::controlId(member);
}

std::string box(double left, double top, double width, double height) {
    return "left:" + em(left) + ";top:" + em(top) + ";width:" + em(width) + ";height:" + em(height);
}

// A control's box in its parent element at 96 dpi, where a CSS pixel is a
// pixel; the em scale it to any other.
std::string box(const window::PixelRect& rect) {
    return box(rect.left, rect.top, rect.width, rect.height);
}

// The radio circle: 13 pixels, 2 from the option's left, centred on its row.
constexpr double RadioSize = 13;
constexpr double RadioLeft = 2;

// A finger's target: an option row at least this high on a touch screen or
// a narrow one, and this high where there is room.
constexpr double TouchRow = 24;
constexpr double RoomyRow = 44;

constexpr std::u16string_view SourceLink = u"Лицензи и изходен код";
constexpr std::u16string_view NoScriptLine = u"Тестът работи само с разрешени скриптове.";
constexpr std::u16string_view FailedLine = u"Тестът не можа да се зареди.";

// The caption without the web address that opens it: the app's name.
std::u16string_view appName() {
    const std::u16string_view caption = window::windowDefinition().caption;
    const std::size_t blank = caption.find(u' ');
    return blank == std::u16string_view::npos ? caption : caption.substr(blank + 1);
}

const ControlDef* firstOfKind(Kind kind) {
    for (const ControlDef& def : window::controlDefinitions())
        if (def.kind == kind)
            return &def;
    return nullptr;
}

} // namespace

std::string PageWriter::html(Form form) const {
    const window::WindowDef& definition = window::windowDefinition();
    const auto controls = window::controlDefinitions();
    const bool single = form == Form::SingleFile;
    std::string out;
    // The page's policy allows its own files and compiling its WebAssembly;
    // the page in one file allows its one style sheet and its one script, by
    // their hashes, and its font and icon, which are inside it as data. No
    // other script or style, nothing from elsewhere. The manifest and the
    // service worker come only where the page is served (the loader asks
    // for them), so that a page opened as a file reports no error.
    out += "<!doctype html>\n<html lang=\"bg\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"";
    out += single ? "@POLICY@" : "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'";
    out += "\">\n<title>" + escaped(definition.caption) + "</title>\n";
    if (const ControlDef* label = firstOfKind(Kind::Label))
        out += "<meta name=\"description\" content=\"" + escaped(label->caption) + "\">\n";
    out += "<meta name=\"theme-color\" content=\"" + colour(definition.background) + "\">\n";
    out += "<link rel=\"icon\" href=\"" + std::string(single ? "@ICON@" : "icon-192.png") +
           "\" sizes=\"192x192\">\n";
    // The loader runs as soon as it has arrived, while the page is still
    // parsed, and fetches the program at once; the program starts once the
    // page is all there. (A preload of the program would not do: WebKit's
    // fetch never takes a preloaded copy, so it would come down twice there.)
    out += single ? "<style>@STYLE@</style>\n"
                  : "<link rel=\"stylesheet\" href=\"zoomatch.css\">\n"
                    "<script src=\"zoomatch.js\" async></script>\n";
    out += "</head>\n<body>\n";
    // What the page says when the quiz cannot run, above the window: without
    // scripts, and (shown by the loader, and read out at once) when the
    // program does not load.
    out += "<noscript><p>" + escaped(NoScriptLine) + "</p></noscript>\n";
    out += "<p id=\"failed\" role=\"alert\" hidden>" + escaped(FailedLine) + "</p>\n";
    out += "<main id=\"MainForm\">\n";

    // The heading first, then the controls in the window's tab order: the
    // output box, which the script gives the focus at start, each frame with its column
    // from top to bottom, then the buttons. An option or a push button is
    // named by its control array and carries its member index as its value.
    for (const ControlDef& def : controls)
        if (def.kind == Kind::Label)
            out += "<h1 id=\"" + elementId(def.member) + "\">" + escaped(def.caption) + "</h1>\n";
    std::string descriptions;
    const window::Member* frame = nullptr;
    for (const ControlDef* def : window::tabOrder()) {
        if (frame && def->parent != *frame) {
            out += "</fieldset>\n";
            frame = nullptr;
        }
        const std::string id = elementId(def->member);
        const std::string member = "name=\"" + std::string(def->member.name) + "\" id=\"" + id +
                                   "\" value=\"" + std::to_string(def->member.index) + "\"";
        if (def->kind == Kind::TextBox) {
            out += "<textarea id=\"" + id + "\" readonly aria-label=\"" +
                   escaped(definition.outputName) + "\">" + escaped(def->caption) + "</textarea>\n";
        } else if (def->kind == Kind::PushButton) {
            out +=
                "<button type=\"button\" " + member + ">" + escaped(def->caption) + "</button>\n";
        } else if (window::optionGroup(def->member)) {
            // A frame is one radio group: its options share the name of their array.
            if (!frame) {
                frame = &def->parent;
                const ControlDef* parent = window::control(*frame);
                out += "<fieldset id=\"" + elementId(*frame) + "\"><legend>" +
                       escaped(parent ? parent->caption : u"") + "</legend>\n";
            }
            out += "<input type=\"radio\" " + member + " aria-describedby=\"" + id +
                   "-row\"><label for=\"" + id + "\">" + escaped(def->caption) + "</label>\n";
            descriptions +=
                "<span id=\"" + id + "-row\">" + escaped(window::description(*def)) + "</span>";
        }
    }
    if (frame)
        out += "</fieldset>\n";
    // Each command's verdict, said once by screen readers; and the options'
    // descriptions, which only screen readers read.
    out += "<div id=\"verdict\" role=\"status\"></div>\n";
    out += "<div hidden>" + descriptions + "</div>\n";
    // Where the source is, in the room right of the buttons, last in the tab
    // order: the window fills the page on every screen, with nothing to scroll.
    out += "<p id=\"about\"><a href=\"SOURCE.html\">" + escaped(SourceLink) + "</a></p>\n";
    out += "</main>\n";
    if (single)
        out += "<script>@SCRIPT@</script>\n";
    out += "</body>\n</html>\n";
    return out;
}

std::string PageWriter::css() const {
    const window::WindowDef& form = window::windowDefinition();
    const window::PixelRect client = window::clientRect(96);
    const double windowWidth = client.width;
    const double windowHeight = client.height;
    const std::string fallback = "\"" + std::string(form.fallbackFontFamily) + "\"";
    const auto controls = window::controlDefinitions();
    std::string out;
    // The window's font where it is installed, else its metric twin, local
    // or cut to the page's characters and served beside the page.
    out += "@font-face{font-family:" + fallback + ";src:local(" + fallback + "),local(\"" +
           replaced(std::string(form.fallbackFontFamily), " ", "") + "\"),url(" + fontFile +
           ") format(\"woff2\");font-display:swap}\n";
    out += "html{background:" + colour(form.background) + ";color:#000}\n";
    // The body is the container that the window scales to: its width leaves
    // out a scroll bar, which the viewport's does not.
    out += "body{margin:0;font:" + number(fontPixels(), 3) + "px \"" +
           std::string(form.fontFamily) + "\"," + fallback + ",serif;container-type:inline-size}\n";
    // Taps neither wait for a double tap nor zoom the page.
    out += "main{background:" + colour(form.background) +
           ";touch-action:manipulation;-webkit-tap-highlight-color:transparent}\n";
    out += "main *{box-sizing:border-box;margin:0;padding:0;font:inherit;color:inherit;border:0}\n";
    out += "h1{text-align:center}\n";
    // A frame: its title at the top left, its border around the options below.
    out += "fieldset{min-inline-size:0}\n";
    out += "fieldset::before{content:\"\";position:absolute;left:0;top:" + em(18) +
           ";right:0;bottom:0;border:" + em(1) + " solid #8C8CA8;border-radius:" + em(3) + "}\n";
    out += "legend{position:absolute;left:0;top:0;line-height:" + em(19) + ";white-space:nowrap}\n";
    out += "label{padding-left:" + em(20) + "}\n";
    out += "input{width:" + em(RadioSize) + ";height:" + em(RadioSize) + ";z-index:1}\n";
    out += "button{border:" + em(1) + " solid #6E6E8A;border-radius:" + em(3) +
           ";text-align:center;white-space:nowrap}\n";
    out += "button:active{filter:brightness(.9)}\n";
    out += "textarea{resize:none;overflow-y:scroll;overflow-x:hidden;border:" + em(1) +
           " solid #7A7A96;padding:" + em(1) + " " + em(4) + ";line-height:" + em(20) +
           ";background:Canvas;color:CanvasText;white-space:pre-wrap}\n";
    // A line above the window when the quiz cannot run.
    out += "body>p,noscript p{margin:0;padding:" + em(4) + " " + em(8) + "}\n";
    // Heard, not seen.
    out += "#verdict{position:absolute;width:1px;height:1px;overflow:hidden;clip-path:inset(50%);"
           "white-space:nowrap}\n";
    out += "#about{text-align:right;white-space:nowrap}\n";
    // The link's text smaller than the window's.
    const double linkPixels = 13;
    out += "#about a{color:LinkText;font-size:" + number(linkPixels / fontPixels(), 4) + "em}\n";
    // Each control in its colours, whatever the screen; the controls of one
    // colour in one rule.
    std::vector<std::pair<std::uint32_t, std::string>> colours;
    for (const ControlDef& def : controls) {
        if (def.background == window::SystemWindowColour)
            continue;
        const std::string selector = def.kind == Kind::OptionButton
                                         ? "[for=" + elementId(def.member) + "]"
                                         : "#" + elementId(def.member);
        auto same = std::find_if(colours.begin(), colours.end(),
                                 [&def](const auto& c) { return c.first == def.background; });
        if (same == colours.end())
            colours.emplace_back(def.background, selector);
        else
            same->second += "," + selector;
    }
    for (const auto& [rgb, selectors] : colours)
        out += selectors + "{background:" + colour(rgb) + "}\n";

    // From the window's width up: the window at the page's top left in its
    // own size, every control at its place.
    const std::string windowFits = "(min-width:" + number(windowWidth, 0) + "px)";
    out += "@media " + windowFits + "{\n";
    out += "main{position:relative;width:" + em(windowWidth) + ";height:" + em(windowHeight) +
           ";overflow:hidden}\n";
    out += "main *{position:absolute}\n";
    out += "h1,label{white-space:nowrap;overflow:hidden}\n";
    {
        // The link to the source in the room right of the buttons, aligned
        // to the window's right margin.
        double right = 0, top = 0, height = 0;
        for (const ControlDef& def : controls)
            if (const auto rect = window::windowRect(def, 96);
                def.kind == Kind::PushButton && rect.left + rect.width > right) {
                right = rect.left + rect.width;
                top = rect.top;
                height = rect.height;
            }
        const double margin = 8;
        out += "#about{" + box(right + margin, top, windowWidth - right - 2 * margin, height) +
               ";line-height:" + em(height) + "}\n";
        out += "#about a{position:static}\n";
    }
    for (const ControlDef& def : controls) {
        const std::string id = elementId(def.member);
        const window::PixelRect rect = window::parentRect(def, 96);
        switch (def.kind) {
        case Kind::OptionButton: {
            // The label is the option's whole box; the circle sits on its left.
            out += "[for=" + id + "]{" + box(rect) + ";line-height:" + em(rect.height) + "}\n";
            out += "#" + id + "{left:" + em(rect.left + RadioLeft) +
                   ";top:" + em(rect.top + (rect.height - RadioSize) / 2) + "}\n";
            break;
        }
        case Kind::Label:
            out += "#" + id + "{" + box(rect) + ";line-height:" + em(rect.height) + "}\n";
            break;
        case Kind::PushButton: // the caption centred inside the button's border
            out += "#" + id + "{" + box(rect) + ";line-height:" + em(rect.height - 2) + "}\n";
            break;
        case Kind::Frame:
        case Kind::TextBox:
            out += "#" + id + "{" + box(rect) + "}\n";
            break;
        }
    }
    out += "}\n";
    // A touch screen with room shows the window large enough that every
    // option row is at least 24 pixels high, a finger's target, as far as
    // the width allows. (Browsers without container units take the
    // viewport's width.)
    const double fitWidth = static_cast<int>(fontPixels() * 100 / windowWidth * 100000) / 100000.0;
    const double touchScale =
        TouchRow / window::windowRect(*firstOfKind(Kind::OptionButton), 96).height;
    const std::string fit = number(fitWidth, 5);
    const std::string touch = number(fontPixels() * touchScale, 3) + "px";
    out += "@media (pointer:coarse) and " + windowFits + "{main{font-size:min(" + fit + "vw," +
           touch + ");font-size:min(" + fit + "cqw," + touch + ")}}\n";

    // Narrower than the window (a phone, or a window zoomed in): one column
    // in the window's order from top to bottom, the title, each frame, the
    // push buttons side by side, the output box, then the link. The
    // elements keep their order in the page, so the tab order and what
    // screen readers find stay the window's. An option row is a finger's
    // target: 44 pixels high where a whole column of them fits the screen's
    // height, never less than 24.
    out += "@media not all and " + windowFits + "{\n";
    out += "main{display:grid;grid-template-columns:repeat(2,minmax(0,1fr));gap:" + em(8) +
           ";padding:0 " + em(8) + " " + em(8) + ";--row:clamp(" + number(TouchRow, 0) +
           "px,(100vh - " + em(6 * 16) + ")/10," + number(RoomyRow, 0) + "px)}\n";
    out += "main>*{grid-column:1/-1}\n";
    out += "h1{margin:0 -" + em(8) + ";line-height:" + em(25) + "}\n";
    // A frame's options follow each other in the page from top to bottom;
    // each circle is drawn over its label, centred on a row of one line.
    out += "fieldset{position:relative;padding:" + em(20) + " " + em(8) + " " + em(6) + "}\n";
    out += "label{position:relative;display:flex;align-items:center;min-height:var(--row)}\n";
    out += "input{display:block;position:relative;margin:calc((var(--row) - " + em(RadioSize) +
           ")/2) 0 calc((var(--row) + " + em(RadioSize) + ")/-2) " + em(RadioLeft) + "}\n";
    out += "button{min-height:var(--row)}\n";
    out += "textarea{height:" + em(10 * 20 + 4) + "}\n";
    out += "#about a{display:inline-block;line-height:" + number(TouchRow, 0) + "px}\n";
    // The window's controls from top to bottom, left to right; push buttons
    // on one line share it.
    std::vector<const ControlDef*> shown;
    for (const ControlDef& def : controls)
        if (def.parent.name.empty())
            shown.push_back(&def);
    std::stable_sort(shown.begin(), shown.end(), [](const ControlDef* a, const ControlDef* b) {
        return std::pair(a->top, a->left) < std::pair(b->top, b->left);
    });
    int line = 0, column = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const bool beside = i > 0 && shown[i]->kind == Kind::PushButton &&
                            shown[i - 1]->kind == Kind::PushButton &&
                            shown[i]->top == shown[i - 1]->top && column < 2;
        column = beside ? column + 1 : 1;
        line += beside ? 0 : 1;
        const bool paired = shown[i]->kind == Kind::PushButton;
        out += "#" + elementId(shown[i]->member) + "{grid-row:" + std::to_string(line) +
               (paired ? ";grid-column:" + std::to_string(column) : std::string()) + "}\n";
    }
    out += "#about{grid-row:" + std::to_string(line + 1) + "}\n";
    out += "}\n";
    return out;
}

std::string PageWriter::manifest(std::string_view manifestTemplate) const {
    const window::WindowDef& form = window::windowDefinition();
    std::u16string_view shortName = appName();
    shortName = shortName.substr(0, shortName.find(u' '));
    const ControlDef* label = firstOfKind(Kind::Label);
    std::string out(manifestTemplate);
    out = replaced(out, "@NAME@", jsonEscaped(appName()));
    out = replaced(out, "@SHORT_NAME@", jsonEscaped(shortName));
    out = replaced(out, "@DESCRIPTION@", jsonEscaped(label ? label->caption : appName()));
    out = replaced(out, "@BACKGROUND@", colour(form.background));
    out = replaced(out, "@THEME@", colour(form.background));
    return out;
}

std::string PageWriter::pageText() const {
    std::set<char32_t> characters;
    auto add = [&characters](std::u16string_view text) {
        for (char32_t c : codePoints(text))
            if (c >= 0x20)
                characters.insert(c);
    };
    for (const ControlDef& def : window::controlDefinitions())
        add(def.caption);
    add(SourceLink);
    add(NoScriptLine);
    add(FailedLine);
    // Every text a game can write: a wrong pair, each right pair, a clear.
    quiz::ControlsModel game;
    game.Form_Load();
    game.clickCommand(quiz::QuizRules::Check);
    add(game.outputText());
    for (int row = 0; row < quiz::RowCount; ++row) {
        game.clickOption(quiz::OptionGroup::Option1, row);
        game.clickOption(quiz::OptionGroup::Option2, row);
        game.clickCommand(quiz::QuizRules::Check);
        add(game.outputText());
    }
    game.clickCommand(quiz::QuizRules::Clear);
    add(game.outputText());
    std::string out;
    for (char32_t c : characters)
        appendUtf8(out, c);
    return out + "\n";
}

} // namespace web

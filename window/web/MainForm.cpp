#include "MainForm.h"

#include "FormDefinition.h"

#include <emscripten.h>

using quiz::OptionGroup;
using quiz::RowIndex;
using window::ControlDef;

// The page's side, in JavaScript. Texts cross as UTF-16 code units (pointer
// and length); the elements are found by the ids the page generator gave
// them (window::controlId).

// The option's caption is its label; a blanked option keeps a name for
// screen readers, the definition's name of a solved row.
EM_JS(void, zoomatch_set_caption,
      (const char16_t* id, int idLength, const char16_t* text, int length, const char16_t* solved,
       int solvedLength),
      {
          var input = document.getElementById(utf16(id, idLength));
          var caption = utf16(text, length);
          input['labels'][0].textContent = caption;
          if (caption)
              input.removeAttribute('aria-label');
          else
              input.setAttribute('aria-label', utf16(solved, solvedLength));
      });

EM_JS(bool, zoomatch_is_checked, (const char16_t* id, int idLength),
      { return document.getElementById(utf16(id, idLength)).checked; });

EM_JS(void, zoomatch_uncheck, (const char16_t* id, int idLength),
      { document.getElementById(utf16(id, idLength)).checked = false; });

// The text goes in as the box's default value, exactly; the box shows it
// from its first line, with the caret there too: a screen reader that comes
// to the box reads the line at the caret, which would otherwise be the
// blank last one.
EM_JS(void, zoomatch_set_text, (const char16_t* id, int idLength, const char16_t* text, int length),
      {
          var box = document.getElementById(utf16(id, idLength));
          box.defaultValue = utf16(text, length);
          box.setSelectionRange(0, 0);
          box.scrollTop = 0;
      });

// A screen reader speaks a live region when its text changes; the same
// verdict twice in a row differs by a zero-width space, so it is said again.
EM_JS(void, zoomatch_announce, (const char16_t* text, int length), {
    var region = document.getElementById('verdict');
    var said = utf16(text, length);
    region.textContent = region.textContent == said ? said + String.fromCharCode(0x200B) : said;
});

// The page shown again from the back/forward cache starts afresh, as a new
// load of it does: the focus on the output box, the live region silent.
EM_JS(void, zoomatch_restarted, (const char16_t* id, int idLength), {
    document.getElementById('verdict').textContent = "";
    document.getElementById(utf16(id, idLength)).focus();
});

// The page's listeners, then the mark that it can be played.
// - Every click in the window hands its element's name and value attributes
//   to the quiz, as the page wrote them; the quiz tells members from the rest.
// - Tab and Shift+Tab go round the stops of the window in the page's order
//   (the output box, each column, the buttons), also from the last to the
//   first, and enter a column at its selected option, else at its first,
//   which is its top one; the browser would enter it from below at its last.
// - An arrow key moves to the next or previous option of its column and
//   selects it, from the last to the first and back (a browser's own radio
//   group may stop at either end); the click reaches the quiz like any other.
// - Where a key moves the focus, the focused control shows it, also after a
//   click (WebKit would not draw the focus that a script moves).
// - A page that the browser kept and shows again (back or forward) is the
//   quiz at start, not the game that was left.
EM_JS(void, zoomatch_attach, (), {
    var form = document.getElementById('MainForm');
    form.addEventListener(
        'click', function(event) {
            var name = event.target.getAttribute('name') || "";
            var text = name + (event.target.getAttribute('value') || "");
            var at = _MainForm_eventText(text.length) >> 1;
            for (var i = 0; i < text.length; ++i)
                HEAPU16[at + i] = text.charCodeAt(i);
            _MainForm_click(name.length);
        });
    var arrows = {ArrowUp : -1, ArrowLeft : -1, ArrowDown : 1, ArrowRight : 1};
    form.addEventListener(
        'keydown', function(event) {
            if (event.altKey || event.ctrlKey || event.metaKey)
                return;
            var step = arrows[event.key];
            if (step && !event.shiftKey && event.target.type == 'radio') {
                var options = event.target.closest('fieldset').querySelectorAll('input');
                var at = Array.prototype.indexOf.call(options, event.target);
                var next = options[(at + step + options.length) % options.length];
                next.focus({focusVisible : true});
                next.click();
                event.preventDefault();
                return;
            }
            // (WebKitGTK names Shift+Tab's key "Unidentified": its code is Tab.)
            if (event.key != 'Tab' && event.code != 'Tab')
                return;
            var stops = form.querySelectorAll('textarea, fieldset, button');
            var at = 0;
            while (at < stops.length && !stops[at].contains(event.target))
                ++at;
            if (at == stops.length)
                return;
            var next = stops[(at + (event.shiftKey ? stops.length - 1 : 1)) % stops.length];
            (next.querySelector(':checked') || next.querySelector('input') || next).focus({
                focusVisible : true
            });
            event.preventDefault();
        });
    addEventListener(
        'pageshow', function(event) {
            if (event.persisted)
                _MainForm_restart();
        });
    document.documentElement.dataset.playable = 'true';
});

namespace {

MainForm* page = nullptr;
// An event's name and value, one after the other, as the page wrote them in.
std::u16string eventText;

std::u16string idOf(const ControlDef& def) {
    const std::string id = window::controlId(def.member);
    return {id.begin(), id.end()};
}

int length(const std::u16string_view text) {
    return static_cast<int>(text.size());
}

// The ids of the options, by group and row, and of the output box.
struct Ids {
    std::array<std::array<std::u16string, quiz::RowCount>, 2> options;
    std::u16string output;
};

const Ids& ids() {
    static const Ids all = [] {
        Ids found;
        for (const ControlDef& def : window::controlDefinitions()) {
            if (const auto group = window::optionGroup(def.member))
                found.options[quiz::column(*group)][def.member.index] = idOf(def);
            else if (def.kind == window::Kind::TextBox)
                found.output = idOf(def);
        }
        return found;
    }();
    return all;
}

const std::u16string& optionId(OptionGroup group, RowIndex row) {
    return ids().options[quiz::column(group)][row];
}

} // namespace

// The page's click listener writes an event's texts here, then hands it on.
extern "C" {
EMSCRIPTEN_KEEPALIVE char16_t* MainForm_eventText(int length) {
    eventText.assign(static_cast<std::size_t>(length), u'\0');
    return eventText.data();
}
EMSCRIPTEN_KEEPALIVE void MainForm_click(int nameLength) {
    const std::u16string_view text = eventText;
    page->click(text.substr(0, static_cast<std::size_t>(nameLength)),
                text.substr(static_cast<std::size_t>(nameLength)));
}
EMSCRIPTEN_KEEPALIVE void MainForm_restart() {
    page->restart();
}
}

MainForm::MainForm() {
    for (const ControlDef& def : window::controlDefinitions()) {
        if (const auto group = window::optionGroup(def.member))
            captions[quiz::column(*group)][def.member.index] = def.caption;
        else if (def.kind == window::Kind::TextBox)
            output = introduction = def.caption;
    }
}

void MainForm::Form_Load() {
    events.Form_Load();
    page = this;
    zoomatch_attach();
}

void MainForm::restart() {
    events.Form_Load();
    setOutputText(introduction);
    zoomatch_restarted(ids().output.data(), length(ids().output));
}

void MainForm::click(std::u16string_view name, std::u16string_view value) {
    if (const auto said = events.click(name, value))
        zoomatch_announce(said->data(), length(*said));
}

std::u16string MainForm::caption(OptionGroup group, RowIndex row) const {
    return captions[quiz::column(group)][row];
}

void MainForm::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    captions[quiz::column(group)][row] = text;
    const std::u16string& id = optionId(group, row);
    const std::u16string_view solved = window::windowDefinition().solvedName;
    zoomatch_set_caption(id.data(), length(id), text.data(), length(text), solved.data(),
                         length(solved));
}

bool MainForm::isSelected(OptionGroup group, RowIndex row) const {
    const std::u16string& id = optionId(group, row);
    return zoomatch_is_checked(id.data(), length(id));
}

void MainForm::deselect(OptionGroup group, RowIndex row) {
    const std::u16string& id = optionId(group, row);
    zoomatch_uncheck(id.data(), length(id));
}

void MainForm::setOutputText(std::u16string_view text) {
    output = text;
    const std::u16string& id = ids().output;
    zoomatch_set_text(id.data(), length(id), text.data(), length(text));
}

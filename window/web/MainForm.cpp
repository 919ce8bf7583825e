#include "MainForm.h"

#include "FormDefinition.h"

#include <emscripten.h>

using quiz::OptionGroup;
using quiz::RowIndex;
using window::ControlDef;
using window::Kind;

// The page's side, in JavaScript. Texts cross as UTF-16 code units (pointer
// and length); the elements are found by the ids the page generator gave
// them, the control's name and member: "Option1-3", "Text1-0".

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

// The box shows the new text from its first line, as a rewritten box does,
// with the caret there too: a screen reader that comes to the box reads the
// line at the caret, which would otherwise be the blank last one.
EM_JS(void, zoomatch_set_text, (const char16_t* id, int idLength, const char16_t* text, int length),
      {
          var box = document.getElementById(utf16(id, idLength));
          box.value = utf16(text, length);
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

// One listener for each kind of event on the window: a change of an option
// group and a click on a button. Then the page says it can be played.
EM_JS(void, zoomatch_attach, (), {
    var form = document.getElementById('MainForm');
    form.addEventListener(
        'change', function(event) {
            var input = event.target;
            if (input.name == 'Option1')
                _MainForm_Option1_Click(+input.value);
            else if (input.name == 'Option2')
                _MainForm_Option2_Click(+input.value);
        });
    form.addEventListener(
        'click', function(event) {
            var button = event.target.closest('button');
            if (button)
                _MainForm_Command1_Click(+button.id.split('-')[1]);
        });
    document.documentElement.dataset.playable = 'true';
});

namespace {

MainForm* page = nullptr;

// "Option1-3": the id of the element that stands for Option1(3). 0 <= index.
std::u16string elementId(std::string_view name, int index) {
    std::u16string id(name.begin(), name.end());
    id += u'-';
    const std::size_t digits = id.size();
    do {
        id.insert(digits, 1, static_cast<char16_t>(u'0' + index % 10));
        index /= 10;
    } while (index > 0);
    return id;
}

std::u16string optionId(OptionGroup group, RowIndex row) {
    return elementId(group == OptionGroup::Option1 ? "Option1" : "Option2", row);
}

std::u16string outputId() {
    for (const ControlDef& def : window::controlDefinitions())
        if (def.kind == Kind::TextBox)
            return elementId(def.member.name, def.member.index);
    return {};
}

int length(const std::u16string_view text) {
    return static_cast<int>(text.size());
}

} // namespace

// The glue that the page's listeners call: each hands its event to the window.
extern "C" {
EMSCRIPTEN_KEEPALIVE void MainForm_Option1_Click(int Index) {
    if (page && quiz::isRow(Index))
        page->Option1_Click(static_cast<RowIndex>(Index));
}
EMSCRIPTEN_KEEPALIVE void MainForm_Option2_Click(int Index) {
    if (page && quiz::isRow(Index))
        page->Option2_Click(static_cast<RowIndex>(Index));
}
EMSCRIPTEN_KEEPALIVE void MainForm_Command1_Click(int Index) {
    if (page && (Index == quiz::QuizRules::Check || Index == quiz::QuizRules::Clear))
        page->Command1_Click(static_cast<RowIndex>(Index));
}
}

MainForm::MainForm() {
    for (const ControlDef& def : window::controlDefinitions()) {
        if (def.kind == Kind::OptionButton && quiz::isRow(def.member.index))
            captions[def.member.name == "Option1" ? 0 : 1][def.member.index] = def.caption;
        else if (def.kind == Kind::TextBox)
            output = def.caption;
    }
}

void MainForm::Form_Load() {
    rules.ResetBoard();
    page = this;
    zoomatch_attach();
}

void MainForm::Option1_Click(RowIndex Index) {
    rules.Option1_Click(Index);
}

void MainForm::Option2_Click(RowIndex Index) {
    rules.Option2_Click(Index);
}

void MainForm::Command1_Click(RowIndex Index) {
    rules.Command1_Click(Index);
    if (Index == quiz::QuizRules::Check || Index == quiz::QuizRules::Clear)
        announceOutput();
}

std::u16string MainForm::caption(OptionGroup group, RowIndex row) const {
    return quiz::isRow(row) ? captions[group == OptionGroup::Option1 ? 0 : 1][row]
                            : std::u16string();
}

void MainForm::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    if (!quiz::isRow(row))
        return;
    captions[group == OptionGroup::Option1 ? 0 : 1][row] = text;
    const std::u16string id = optionId(group, row);
    const std::u16string_view solved = window::windowDefinition().solvedName;
    zoomatch_set_caption(id.data(), length(id), text.data(), length(text), solved.data(),
                         length(solved));
}

bool MainForm::isSelected(OptionGroup group, RowIndex row) const {
    if (!quiz::isRow(row))
        return false;
    const std::u16string id = optionId(group, row);
    return zoomatch_is_checked(id.data(), length(id));
}

void MainForm::deselect(OptionGroup group, RowIndex row) {
    if (!quiz::isRow(row))
        return;
    const std::u16string id = optionId(group, row);
    zoomatch_uncheck(id.data(), length(id));
}

void MainForm::setOutputText(std::u16string_view text) {
    output = text;
    const std::u16string id = outputId();
    zoomatch_set_text(id.data(), length(id), text.data(), length(text));
}

void MainForm::announceOutput() {
    // A right pair is written in three steps, so the verdict goes out once
    // the command has finished.
    const std::u16string verdict = quiz::spokenVerdict(output);
    zoomatch_announce(verdict.data(), length(verdict));
}

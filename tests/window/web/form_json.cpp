// Prints the window definition and the quiz table as JSON on standard output,
// so that the browser tests take every place, colour, caption and text from
// the same definition the page is generated from rather than from a copy.
//   form_json > form.json
#include "FormDefinition.h"
#include "QuizTable.h"

#include <cstdio>
#include <string_view>
#include <utility>

namespace {

// Every character outside printable ASCII as a \u escape: JSON's own form of
// UTF-16, surrogate pairs included.
void printString(std::u16string_view text) {
    std::putchar('"');
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
            std::putchar(static_cast<char>(c));
        else
            std::printf("\\u%04x", static_cast<unsigned>(c));
    }
    std::putchar('"');
}

const char* kindName(window::Kind kind) {
    switch (kind) {
    case window::Kind::Label:
        return "label";
    case window::Kind::Frame:
        return "frame";
    case window::Kind::OptionButton:
        return "option";
    case window::Kind::PushButton:
        return "button";
    case window::Kind::TextBox:
        return "textbox";
    }
    return "";
}

} // namespace

int main() {
    const auto& form = window::windowDefinition();
    std::printf("{\"caption\": ");
    printString(form.caption);
    std::printf(", \"width\": %d, \"height\": %d, \"background\": %d,\n", form.clientWidth,
                form.clientHeight, static_cast<int>(form.background));
    for (auto [key, text] : {std::pair{"outputName", form.outputName},
                             {"scienceDescription", form.scienceDescription},
                             {"subjectDescription", form.subjectDescription},
                             {"solvedName", form.solvedName}}) {
        std::printf(" \"%s\": ", key);
        printString(text);
        std::printf(",\n");
    }
    std::printf(" \"controls\": [");
    const char* separator = "\n";
    for (const auto& control : window::controlDefinitions()) {
        std::printf("%s  {\"kind\": \"%s\", \"id\": \"", separator, kindName(control.kind));
        std::printf("%.*s-%d\", \"parent\": ", static_cast<int>(control.member.name.size()),
                    control.member.name.data(), control.member.index);
        if (control.parent.name.empty())
            std::printf("null");
        else
            std::printf("\"%.*s-%d\"", static_cast<int>(control.parent.name.size()),
                        control.parent.name.data(), control.parent.index);
        std::printf(", \"caption\": ");
        printString(control.caption);
        std::printf(", \"twips\": [%d, %d, %d, %d], \"background\": %ld}", control.left,
                    control.top, control.width, control.height,
                    control.background == window::SystemWindowColour
                        ? -1L
                        : static_cast<long>(control.background));
        separator = ",\n";
    }
    std::printf("],\n \"rows\": [");
    separator = "\n";
    for (int row = 0; row < quiz::RowCount; ++row) {
        std::printf("%s  {\"science\": ", separator);
        printString(quiz::QuizTable::science(row));
        std::printf(", \"subject\": ");
        printString(quiz::QuizTable::subject(row));
        std::printf(", \"comment\": ");
        printString(quiz::QuizTable::comment(row));
        std::printf("}");
        separator = ",\n";
    }
    std::printf("],\n \"introduction\": ");
    printString(quiz::QuizTable::introduction());
    std::printf("}\n");
    return 0;
}

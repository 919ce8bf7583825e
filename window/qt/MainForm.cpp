#include "MainForm.h"

#include "Accessibility.h"
#include "FormDefinition.h"
#include "OptionButton.h"
#include "hamburger.xpm"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using quiz::OptionGroup;
using quiz::RowIndex;
using window::ControlDef;
using window::Kind;

namespace {

QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// Captions are shown as they stand: an '&' is a letter, never an access key.
QString withoutAccessKeys(std::u16string_view caption) {
    return toQString(caption).replace(u'&', QStringLiteral("&&"));
}

QRect toPixels(const ControlDef& def) {
    using window::pixels;
    return {pixels(def.left, 96), pixels(def.top, 96), pixels(def.width, 96), pixels(def.height, 96)};
}

// Paints the widget in its background colour. A push button keeps its own
// rounded shape and takes the colour as its face instead of a filled box.
void paintBackground(QWidget* widget, std::uint32_t rgb) {
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), QColor::fromRgb(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(!qobject_cast<QPushButton*>(widget));
}

} // namespace

MainForm::MainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    const window::WindowDef& def = window::windowDefinition();
    setWindowTitle(toQString(def.caption));
    setWindowIcon(QPixmap(hamburger_xpm));
    setFixedSize(window::pixels(def.clientWidth, 96), window::pixels(def.clientHeight, 96));
    paintBackground(this, def.background);

    setFont(windowFont());

    createControls();
    Form_Load();
    // The heading is a label that no key reaches: screen readers speak it
    // with the window's title as the window opens.
    setAccessibleDescription(label1->text());

    // The output box comes first in the tab order and holds the focus at start;
    // then the columns top to bottom, then the buttons left to right.
    QWidget* previous = text1;
    auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    for (QRadioButton* button : option1)
        chain(button);
    for (const ControlDef& control : window::controlDefinitions())
        if (control.member.name == "Option2")
            chain(option2[control.member.index]);
    chain(command1[1]);
    chain(command1[0]);
    text1->setFocus();
}

QFont MainForm::windowFont() {
    // Times New Roman, or its metric twin where it is not installed, so the
    // captions take the same room everywhere.
    const window::WindowDef& def = window::windowDefinition();
    QFont font(
        QStringList{QString::fromUtf8(def.fontFamily), QString::fromUtf8(def.fallbackFontFamily)});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(def.fontPointSize);
    return font;
}

void MainForm::createControls() {
    group1 = new QButtonGroup(this);
    group2 = new QButtonGroup(this);
    commands = new QButtonGroup(this);
    // An option's click is its turning on. A mouse click, a key or a screen
    // reader's toggle action all turn it on, but only the first two emit
    // clicked; a click on the button already on changes nothing, as the pick
    // of a group always names its selected button. Turning off, as the rules
    // do, is no click.
    connect(group1, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            Option1_Click(id);
    });
    connect(group2, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            Option2_Click(id);
    });
    connect(commands, &QButtonGroup::idClicked, this, &MainForm::Command1_Click);

    const window::WindowDef& form = window::windowDefinition();
    std::array<int, 2> rowsOnScreen{}; // the definition lists each column top to bottom
    std::u16string_view initialText;
    for (const ControlDef& def : window::controlDefinitions()) {
        QWidget* parent = this;
        if (!def.parent.name.empty())
            parent = def.parent.index == 0 ? frame1_0 : frame1_16;
        QWidget* widget = nullptr;
        const int index = def.member.index;
        switch (def.kind) {
        case Kind::Label: {
            label1 = new QLabel(toQString(def.caption), parent);
            label1->setAlignment(Qt::AlignCenter);
            label1->setTextFormat(Qt::PlainText);
            widget = label1;
            break;
        }
        case Kind::Frame: {
            auto* frame = new QGroupBox(withoutAccessKeys(def.caption), parent);
            (index == 0 ? frame1_0 : frame1_16) = frame;
            widget = frame;
            break;
        }
        case Kind::OptionButton: {
            auto* button = new OptionButton(withoutAccessKeys(def.caption), parent);
            const bool science = def.member.name == "Option1";
            (science ? option1 : option2).at(index) = button;
            (science ? group1 : group2)->addButton(button, index);
            button->setAccessibleDescription(
                toQString(science ? form.scienceDescription : form.subjectDescription)
                    .arg(++rowsOnScreen[science ? 0 : 1]));
            widget = button;
            break;
        }
        case Kind::PushButton: {
            auto* button = new QPushButton(withoutAccessKeys(def.caption), parent);
            // Return and Enter press the focused button as Space does; the
            // window has no default button that they would press elsewhere.
            button->setAutoDefault(true);
            button->setDefault(false);
            command1.at(index) = button;
            commands->addButton(button, index);
            widget = button;
            break;
        }
        case Kind::TextBox: {
            text1 = new QPlainTextEdit(parent);
            text1->setReadOnly(true);
            text1->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            text1->setFocusPolicy(Qt::StrongFocus);
            text1->setTabChangesFocus(true);
            text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            text1->setWordWrapMode(QTextOption::WordWrap);
            text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            text1->setAccessibleName(toQString(form.outputName));
            initialText = def.caption;
            widget = text1;
            break;
        }
        }
        if (def.background != window::SystemWindowColour)
            paintBackground(widget, def.background);
        widget->setObjectName(
            QStringLiteral("%1(%2)").arg(QString::fromUtf8(def.member.name)).arg(index));
        widget->setGeometry(toPixels(def));
    }
    // The introduction goes in once the box has its size, so that it is laid
    // out once, at its real width.
    setOutputText(initialText);
}

QRadioButton* MainForm::option(OptionGroup group, RowIndex row) const {
    if (!quiz::isRow(row))
        return nullptr;
    return group == OptionGroup::Option1 ? option1[row] : option2[row];
}

QButtonGroup* MainForm::groupOf(OptionGroup group) const {
    return group == OptionGroup::Option1 ? group1 : group2;
}

std::u16string MainForm::caption(OptionGroup group, RowIndex row) const {
    QRadioButton* button = option(group, row);
    return button
               ? button->text().replace(QStringLiteral("&&"), QStringLiteral("&")).toStdU16String()
               : std::u16string();
}

void MainForm::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    if (QRadioButton* button = option(group, row))
        button->setText(withoutAccessKeys(text));
}

bool MainForm::isSelected(OptionGroup group, RowIndex row) const {
    QRadioButton* button = option(group, row);
    return button && button->isChecked();
}

void MainForm::deselect(OptionGroup group, RowIndex row) {
    QRadioButton* button = option(group, row);
    if (!button || !button->isChecked())
        return;
    // An exclusive group refuses to leave itself with nothing selected, so it
    // lets go for the moment. setChecked raises no click.
    QButtonGroup* buttons = groupOf(group);
    buttons->setExclusive(false);
    button->setChecked(false);
    buttons->setExclusive(true);
}

void MainForm::announceOutput() {
    // A right pair is written in three steps, so the notice goes out once the
    // command has finished, and without the blank comment line.
    if (!announcement)
        announcement = new Announcement(this);
    announcement->announce(toQString(quiz::spokenVerdict(output)));
}

void MainForm::setOutputText(std::u16string_view text) {
    output = text;
    // The box would take CR and LF for two line breaks; show each pair as one.
    text1->setPlainText(toQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

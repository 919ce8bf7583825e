#include "MainForm.h"

#include "Accessibility.h"
#include "Buttons.h"
#include "FormDefinition.h"
#include "hamburger.xpm"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

using quiz::ControlArray;
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
QString shown(std::u16string_view caption) {
    return toQString(window::withoutAccessKeys(caption));
}

QString idOf(const window::Member& member) {
    return QString::fromStdString(window::controlId(member));
}

// Paints the widget in a colour of the definition. A push button keeps its
// own rounded shape and takes the colour as its face instead of a filled box.
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
    const window::PixelRect client = window::clientRect(96);
    setFixedSize(client.width, client.height);
    // Every caption in the definition's text colour; the output box keeps the system's.
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(def.textColour));
    palette.setColor(QPalette::ButtonText, QColor::fromRgb(def.textColour));
    setPalette(palette);
    paintBackground(this, def.background);
    setFont(windowFont());

    createControls();
    events.Form_Load();

    // The focus chain in the definition's tab order, round from the last stop
    // to the first; focusNextPrevChild picks each column's stop.
    QWidget* previous = nullptr;
    for (const ControlDef* stop : window::tabOrder()) {
        auto* widget = findChild<QWidget*>(idOf(stop->member));
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
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
    // Every click Qt delivers (by mouse, key or a screen reader's action)
    // raises its group's idClicked with the member as the id. A click on the
    // option already selected is a click too; the rules' deselecting is none.
    auto* pushButtons = new QButtonGroup(this);
    const std::array<std::pair<QButtonGroup*, ControlArray>, 3> arrays{{
        {columns[0] = new QButtonGroup(this), ControlArray::Option1},
        {columns[1] = new QButtonGroup(this), ControlArray::Option2},
        {pushButtons, ControlArray::Command1},
    }};
    for (const auto& [group, array] : arrays)
        connect(group, &QButtonGroup::idClicked, this,
                [this, array = array](int id) { click(array, id); });

    std::u16string_view introduction;
    for (const ControlDef& def : window::controlDefinitions()) {
        QWidget* parent = def.parent.name.empty()
                              ? this
                              : findChild<QWidget*>(idOf(def.parent), Qt::FindDirectChildrenOnly);
        const int index = def.member.index;
        QWidget* widget = nullptr;
        switch (def.kind) {
        case Kind::Label: {
            auto* label = new QLabel(toQString(def.caption), parent);
            label->setAlignment(Qt::AlignCenter);
            label->setTextFormat(Qt::PlainText);
            // The heading is a label that no key reaches: screen readers
            // speak it with the window's title as the window opens.
            setAccessibleDescription(label->text());
            widget = label;
            break;
        }
        case Kind::Frame:
            widget = new QGroupBox(shown(def.caption), parent);
            break;
        case Kind::OptionButton: {
            const OptionGroup group = *window::optionGroup(def.member);
            auto* button = new OptionButton(group, shown(def.caption), parent);
            button->setAccessibleDescription(toQString(window::description(def)));
            columns[quiz::column(group)]->addButton(button, index);
            options[quiz::column(group)].at(static_cast<std::size_t>(index)) = button;
            widget = button;
            break;
        }
        case Kind::PushButton: {
            auto* button = new CommandButton(shown(def.caption), parent);
            // Return and Enter press the focused button as Space does; the
            // window has no default button that they would press elsewhere.
            button->setAutoDefault(true);
            button->setDefault(false);
            pushButtons->addButton(button, index);
            commands.at(static_cast<std::size_t>(index)) = button;
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
            text1->setAccessibleName(toQString(window::windowDefinition().outputName));
            introduction = def.caption;
            widget = text1;
            break;
        }
        }
        if (def.background != window::SystemWindowColour)
            paintBackground(widget, def.background);
        widget->setObjectName(idOf(def.member));
        const window::PixelRect place = window::parentRect(def, 96);
        widget->setGeometry(place.left, place.top, place.width, place.height);
    }
    // The introduction goes in once the box has its size, so that it is laid
    // out once, at its real width.
    setOutputText(introduction);
}

void MainForm::click(ControlArray array, int index) {
    const std::optional<std::u16string> said = events.click(array, index);
    if (!said)
        return;
    // A right pair is written in three steps, so the notice goes out once the
    // command has finished.
    if (!announcement)
        announcement = new Announcement(this);
    announcement->announce(toQString(*said));
}

bool MainForm::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab enter a column at its selected option, else at its
    // top one: Qt's focus chain passes over the buttons that take no tab
    // focus, as it does for the other buttons of an exclusive group.
    for (const OptionGroup group : {OptionGroup::Option1, OptionGroup::Option2}) {
        QButtonGroup* buttons = columns[quiz::column(group)];
        QAbstractButton* stop = buttons->checkedButton();
        if (!stop)
            stop = buttons->button(window::columnRows(group).front());
        for (QAbstractButton* button : buttons->buttons())
            button->setFocusPolicy(button == stop
                                       ? Qt::StrongFocus
                                       : Qt::FocusPolicy(Qt::StrongFocus & ~Qt::TabFocus));
    }
    return QWidget::focusNextPrevChild(next);
}

QRadioButton* MainForm::option(OptionGroup group, RowIndex row) const {
    return options[quiz::column(group)][static_cast<std::size_t>(row)];
}

std::u16string MainForm::caption(OptionGroup group, RowIndex row) const {
    return window::withAccessKeysUndone(option(group, row)->text().toStdU16String());
}

void MainForm::setCaption(OptionGroup group, RowIndex row, std::u16string_view text) {
    option(group, row)->setText(shown(text));
}

bool MainForm::isSelected(OptionGroup group, RowIndex row) const {
    return option(group, row)->isChecked();
}

void MainForm::deselect(OptionGroup group, RowIndex row) {
    QRadioButton* button = option(group, row);
    if (!button->isChecked())
        return;
    // An exclusive group refuses to leave itself with nothing selected, so it
    // lets go for the moment. setChecked raises no click.
    QButtonGroup* buttons = columns[quiz::column(group)];
    buttons->setExclusive(false);
    button->setChecked(false);
    buttons->setExclusive(true);
}

void MainForm::setOutputText(std::u16string_view text) {
    output = text;
    // The box would take CR and LF for two line breaks; show each pair as one.
    text1->setPlainText(toQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

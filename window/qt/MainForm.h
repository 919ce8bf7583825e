// The quiz window: two frames of ten option buttons, the check and clear
// buttons, a title label and the output box, built from FormDefinition. It
// gives the quiz rules its controls and turns each click into the handler
// named after the event.
#pragma once

#include "QuizControls.h"
#include "QuizRules.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <string>

class Announcement;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class MainForm final : public QWidget, public quiz::QuizControls {
    Q_OBJECT

public:
    explicit MainForm(QWidget* parent = nullptr);

    // The one font of every control.
    static QFont windowFont();

    // The controls, by member. 0 <= k < 10; Command1(i) for i = 0 or 1.
    QRadioButton* Option1(int k) const { return option1.at(k); }
    QRadioButton* Option2(int k) const { return option2.at(k); }
    QPushButton* Command1(int i) const { return command1.at(i); }
    QGroupBox* Frame1(int i) const { return i == 0 ? frame1_0 : frame1_16; }
    QLabel* Label1() const { return label1; }
    QPlainTextEdit* Text1() const { return text1; }
    const quiz::QuizRules& quizRules() const { return rules; }

    // QuizControls
    std::u16string caption(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void setCaption(quiz::OptionGroup group, quiz::RowIndex row, std::u16string_view text) override;
    bool isSelected(quiz::OptionGroup group, quiz::RowIndex row) const override;
    void deselect(quiz::OptionGroup group, quiz::RowIndex row) override;
    std::u16string outputText() const override { return output; }
    void setOutputText(std::u16string_view text) override;

private slots:
    void Option1_Click(int Index) { rules.Option1_Click(static_cast<quiz::RowIndex>(Index)); }
    void Option2_Click(int Index) { rules.Option2_Click(static_cast<quiz::RowIndex>(Index)); }
    void Command1_Click(int Index) {
        rules.Command1_Click(static_cast<quiz::RowIndex>(Index));
        announceOutput();
    }

private:
    void Form_Load() { rules.ResetBoard(); }
    void createControls();
    QRadioButton* option(quiz::OptionGroup group, quiz::RowIndex row) const;
    QButtonGroup* groupOf(quiz::OptionGroup group) const;
    // Has screen readers speak the output text as a command left it.
    void announceOutput();

    std::array<QRadioButton*, quiz::RowCount> option1{};
    std::array<QRadioButton*, quiz::RowCount> option2{};
    std::array<QPushButton*, 2> command1{};
    QButtonGroup* group1 = nullptr;
    QButtonGroup* group2 = nullptr;
    QButtonGroup* commands = nullptr;
    QGroupBox* frame1_0 = nullptr;
    QGroupBox* frame1_16 = nullptr;
    QLabel* label1 = nullptr;
    QPlainTextEdit* text1 = nullptr;
    Announcement* announcement = nullptr; // made at the first command

    // The output text exactly as last written; the box shows each CR LF as a line break.
    std::u16string output;
    quiz::QuizRules rules{*this};
};

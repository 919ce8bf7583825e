// The quiz content, letter for letter.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "QuizTable.h"
#include "Utf16Text.h"

#include <algorithm>
#include <array>

using quiz::QuizTable;

TEST_CASE("every row pairs its science with its subject, and its comment is one blank") {
    struct Row {
        std::u16string_view science, subject;
    };
    constexpr std::array<Row, 10> rows{{
        {u"анатомия", u"вътрешен строеж на организми"},
        {u"батрахология", u"земноводни"},
        {u"ентомология", u"насекоми"},
        {u"ихтиология", u"риби"},
        {u"морфология", u"форми и устройство на животни"},
        {u"орнитология", u"птици"},
        {u"териология", u"бозайници"},
        {u"херпетология", u"влечуги"},
        {u"хистология", u"тъкани на животинско тяло"},
        {u"цитология", u"клетки на животинско тяло"},
    }};
    for (int k = 0; k < 10; ++k) {
        CAPTURE(k);
        CHECK(QuizTable::science(k) == rows[k].science);
        CHECK(QuizTable::subject(k) == rows[k].subject);
        // The comment is one blank, never empty.
        CHECK(QuizTable::comment(k) == u" ");
    }
}

TEST_CASE("rows outside the table read empty") {
    for (int row : {-32768, -15, -5, -1, 10, 11, 32767}) {
        CAPTURE(row);
        CHECK(QuizTable::science(row).empty());
        CHECK(QuizTable::subject(row).empty());
        CHECK(QuizTable::comment(row).empty());
    }
}

TEST_CASE("the introduction") {
    constexpr std::u16string_view expected =
        u"Биологията е наука за живота. Нейните подразделения се разграничават едно от друго "
        u"според вида изследвани организми и според методите за тяхното изследване. Примери за "
        u"това са: зоология - наука за животните; физиология -  за жизнените процеси на "
        u"животните; палеонтология - за животни, живели през миналите геологични времена и "
        u"др.\r\n"
        u"Да се реализира проект, представящ междупредметни връзки Биология и Информатика.\r\n"
        u"Тема на проекта: Биология - науки за животните.\r\n"
        u"В две групи радиобутони да се поставят вида наука и нейния предмет.\r\n"
        u"В реализираният проект са представени: анатомия, батрахология, ентомология, "
        u"ихтиология, морфология, орнитология, териология, херпетология, хистология, "
        u"цитология. Съберете допълнително информация за избраните направления в науката "
        u"Биология.\r\n";
    const std::u16string_view text = QuizTable::introduction();
    CHECK(text == expected);
    CHECK(text.size() == 773);
    CHECK(text.find(u"физиология -  за") != std::u16string_view::npos);
    // Five lines, each ended by CR LF, and no other line break.
    std::size_t pairs = 0;
    for (std::size_t at = text.find(u"\r\n"); at != text.npos; at = text.find(u"\r\n", at + 2))
        ++pairs;
    CHECK(pairs == 5);
    CHECK(std::count(text.begin(), text.end(), u'\r') == 5);
    CHECK(std::count(text.begin(), text.end(), u'\n') == 5);
    CHECK(text.ends_with(u"Биология.\r\n"));
}

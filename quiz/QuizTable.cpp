#include "QuizTable.h"

#include <array>

namespace quiz {

namespace {

struct Row {
    std::u16string_view science;
    std::u16string_view subject;
    std::u16string_view comment;
};

// clang-format off
constexpr std::array<Row, RowCount> rows{{
    {u"анатомия",     u"вътрешен строеж на организми",  u" "},
    {u"батрахология", u"земноводни",                    u" "},
    {u"ентомология",  u"насекоми",                      u" "},
    {u"ихтиология",   u"риби",                          u" "},
    {u"морфология",   u"форми и устройство на животни", u" "},
    {u"орнитология",  u"птици",                         u" "},
    {u"териология",   u"бозайници",                     u" "},
    {u"херпетология", u"влечуги",                       u" "},
    {u"хистология",   u"тъкани на животинско тяло",     u" "},
    {u"цитология",    u"клетки на животинско тяло",     u" "},
}};
// clang-format on

// Note the two blanks after "физиология -": they are part of the text.
constexpr std::u16string_view introductionText =
    u"Биологията е наука за живота. Нейните подразделения се разграничават едно от друго според "
    u"вида изследвани организми и според методите за тяхното изследване. Примери за това са: "
    u"зоология - наука за животните; физиология -  за жизнените процеси на животните; "
    u"палеонтология - за животни, живели през миналите геологични времена и др.\r\n"
    u"Да се реализира проект, представящ междупредметни връзки Биология и Информатика.\r\n"
    u"Тема на проекта: Биология - науки за животните.\r\n"
    u"В две групи радиобутони да се поставят вида наука и нейния предмет.\r\n"
    u"В реализираният проект са представени: анатомия, батрахология, ентомология, ихтиология, "
    u"морфология, орнитология, териология, херпетология, хистология, цитология. Съберете "
    u"допълнително информация за избраните направления в науката Биология.\r\n";

static_assert(introductionText.size() == 773);

} // namespace

std::u16string_view QuizTable::science(int row) {
    return isRow(row) ? rows[row].science : u"";
}
std::u16string_view QuizTable::subject(int row) {
    return isRow(row) ? rows[row].subject : u"";
}
std::u16string_view QuizTable::comment(int row) {
    return isRow(row) ? rows[row].comment : u"";
}
std::u16string_view QuizTable::introduction() {
    return introductionText;
}

} // namespace quiz

// The quiz content, letter for letter.
#include "QuizTable.h"

#include <QTest>

using quiz::QuizTable;

namespace {
QString q(std::u16string_view text) {
    return QString::fromStdU16String(std::u16string(text));
}
} // namespace

class TestQuizTable : public QObject {
    Q_OBJECT

private slots:
    void rows_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("science");
        QTest::addColumn<QString>("subject");
        const char* rows[][2] = {
            {"анатомия", "вътрешен строеж на организми"},
            {"батрахология", "земноводни"},
            {"ентомология", "насекоми"},
            {"ихтиология", "риби"},
            {"морфология", "форми и устройство на животни"},
            {"орнитология", "птици"},
            {"териология", "бозайници"},
            {"херпетология", "влечуги"},
            {"хистология", "тъкани на животинско тяло"},
            {"цитология", "клетки на животинско тяло"},
        };
        for (int k = 0; k < 10; ++k)
            QTest::addRow("%d", k)
                << k << QString::fromUtf8(rows[k][0]) << QString::fromUtf8(rows[k][1]);
    }

    void rows() {
        QFETCH(int, row);
        QFETCH(QString, science);
        QFETCH(QString, subject);
        QCOMPARE(q(QuizTable::science(row)), science);
        QCOMPARE(q(QuizTable::subject(row)), subject);
        // The comment is one blank, never empty.
        QCOMPARE(q(QuizTable::comment(row)), QStringLiteral(" "));
    }

    void rowsOutsideTheTableReadEmpty() {
        for (int row : {-32768, -15, -5, -1, 10, 11, 32767}) {
            QVERIFY(QuizTable::science(row).empty());
            QVERIFY(QuizTable::subject(row).empty());
            QVERIFY(QuizTable::comment(row).empty());
        }
    }

    void introduction() {
        const QString expected = QStringLiteral(
            "Биологията е наука за живота. Нейните подразделения се разграничават едно от друго "
            "според вида изследвани организми и според методите за тяхното изследване. Примери за "
            "това са: зоология - наука за животните; физиология -  за жизнените процеси на "
            "животните; палеонтология - за животни, живели през миналите геологични времена и "
            "др.\r\n"
            "Да се реализира проект, представящ междупредметни връзки Биология и Информатика.\r\n"
            "Тема на проекта: Биология - науки за животните.\r\n"
            "В две групи радиобутони да се поставят вида наука и нейния предмет.\r\n"
            "В реализираният проект са представени: анатомия, батрахология, ентомология, "
            "ихтиология, морфология, орнитология, териология, херпетология, хистология, "
            "цитология. Съберете допълнително информация за избраните направления в науката "
            "Биология.\r\n");
        const QString text = q(QuizTable::introduction());
        QCOMPARE(text, expected);
        QCOMPARE(text.size(), 773);
        QVERIFY(text.contains(QStringLiteral("физиология -  за")));
        // Five lines, each ended by CR LF, and no other line break.
        QCOMPARE(text.count(QStringLiteral("\r\n")), 5);
        QCOMPARE(text.count(u'\r'), 5);
        QCOMPARE(text.count(u'\n'), 5);
        QVERIFY(text.endsWith(QStringLiteral("Биология.\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestQuizTable)
#include "tst_quiztable.moc"

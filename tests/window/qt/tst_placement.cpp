// Every control where the definition puts it, in device pixels, on a screen
// of the density the run asks for: QT_SCALE_FACTOR 1, 1.25, 1.5 or 2 with
// ZOOMATCH_DPI 96, 120, 144 or 192. The places hold in every state of the
// game, the picture has the screen's full resolution, and every caption fits.
#include "Application.h"
#include "FormDefinition.h"
#include "MainForm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

namespace {

QString idOf(const window::Member& member) {
    return QString::fromStdString(window::controlId(member));
}

// The edges of a rectangle in pixels when each may be 1 px off.
bool near(const QRectF& seen, const window::PixelRect& expected) {
    const QRectF wanted(expected.left, expected.top, expected.width, expected.height);
    return qAbs(seen.left() - wanted.left()) <= 1 && qAbs(seen.top() - wanted.top()) <= 1 &&
           qAbs(seen.right() - wanted.right()) <= 1 && qAbs(seen.bottom() - wanted.bottom()) <= 1;
}

QString show(const QRectF& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The room the style leaves for a button's caption.
QRect captionRoom(QAbstractButton* button, QStyle::SubElement element) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(element, &option, button);
}

void verifyFits(const QString& text, const QFontMetrics& metrics, QRect room) {
    QVERIFY2(metrics.horizontalAdvance(text) < room.width() && metrics.height() <= room.height(),
             qPrintable(QStringLiteral("\"%1\" needs %2x%3 pixels, has %4x%5")
                            .arg(text)
                            .arg(metrics.horizontalAdvance(text))
                            .arg(metrics.height())
                            .arg(room.width())
                            .arg(room.height())));
}

} // namespace

class TestPlacement : public QObject {
    Q_OBJECT

    MainForm* form = nullptr;
    int dpi = 96;

    void verifyPlaces() {
        const qreal scale = form->devicePixelRatio();
        QVERIFY(near(QRectF(QPointF(), QSizeF(form->size()) * scale), window::clientRect(dpi)));
        for (const window::ControlDef& def : window::controlDefinitions()) {
            const auto* widget = form->findChild<QWidget*>(idOf(def.member));
            QVERIFY(widget);
            const QRectF seen(QPointF(widget->mapTo(form, QPoint())) * scale,
                              QSizeF(widget->size()) * scale);
            QVERIFY2(near(seen, window::windowRect(def, dpi)),
                     qPrintable(idOf(def.member) + QStringLiteral(" at ") + show(seen)));
        }
    }

    void click(const window::Member& member) {
        auto* widget = form->findChild<QWidget*>(idOf(member));
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

private slots:
    void initTestCase() {
        setUpApplication(*qApp);
        dpi = qEnvironmentVariableIntValue("ZOOMATCH_DPI");
        QVERIFY(dpi > 0);
        form = new MainForm;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(qRound(form->devicePixelRatio() * 96), dpi);
    }

    void cleanupTestCase() { delete form; }

    void everyControlInItsPlaceInEveryState() {
        verifyPlaces();
        // A right pair blanks two captions, a clear brings them back: nothing moves.
        click({"Option1", 4});
        click({"Option2", 4});
        click({"Command1", 0});
        QCOMPARE(form->Option2(4)->text(), QString());
        verifyPlaces();
        click({"Command1", 1});
        QVERIFY(!form->Option2(4)->text().isEmpty());
        verifyPlaces();
    }

    void pictureHasTheScreensResolution() {
        const qreal scale = form->devicePixelRatio();
        const QPixmap picture = form->grab();
        QCOMPARE(picture.devicePixelRatio(), scale);
        QCOMPARE(picture.size(), (QSizeF(form->size()) * scale).toSize());
        for (const window::ControlDef& def : window::controlDefinitions()) {
            auto* widget = form->findChild<QWidget*>(idOf(def.member));
            QCOMPARE(widget->grab().size(), (QSizeF(widget->size()) * scale).toSize());
        }
    }

    void everyCaptionFits() {
        for (auto* button : form->findChildren<QRadioButton*>())
            verifyFits(button->text(), button->fontMetrics(),
                       captionRoom(button, QStyle::SE_RadioButtonContents));
        for (auto* button : form->findChildren<QPushButton*>())
            verifyFits(button->text(), button->fontMetrics(),
                       captionRoom(button, QStyle::SE_PushButtonContents));
        auto* label = form->findChild<QLabel*>();
        verifyFits(label->text(), label->fontMetrics(), label->contentsRect());
        for (auto* frame : form->findChildren<QGroupBox*>()) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            QVERIFY(frame->rect().contains(title));
            verifyFits(frame->title(), frame->fontMetrics(), title.adjusted(0, 0, 1, 0));
            // The title, centred in its room, ends above the first button.
            const int textBottom =
                title.top() + (title.height() + frame->fontMetrics().height()) / 2;
            for (auto* button : frame->findChildren<QRadioButton*>())
                QVERIFY(textBottom <= button->y());
        }
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"

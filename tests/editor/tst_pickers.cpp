#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "editor/U_PPMSel.h"
#include "editor/U_RSBNSel.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/ListModel.h"
#include "ui/SearchEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

using namespace kx;
using namespace kx::editor;
using Mode = WaypointPicker::Mode;

namespace {

void doubleClickRow(ui::GridView *grid, int row)
{
    const QRect rect = grid->visualRect(grid->model()->index(row, 1));
    test::doubleClick(grid->viewport(), rect.center());
}
} // namespace

class TestPickers : public test::SessionTest
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void waypointPickerOpens_data();
    void waypointPickerOpens();
    void waypointSearchWhileTyping();
    void waypointPickerResults_data();
    void waypointPickerResults();
    void waypointChosenByKeysAlone();
    void tabFollowsTheLayout();
    void waypointPickerModalLoop();
    void waypointListFailure();

    void beaconPickerOpens_data();
    void beaconPickerOpens();
    void beaconPickerResults_data();
    void beaconPickerResults();
    void beaconListFailure();
    void pickersGrowAndComeBackSo_data();
    void pickersGrowAndComeBackSo();

private:
    QString cell(QDialog *dialog, int row, int column) const;
    void sql(const QString &statement);

    QHash<QString, qint64> m_code;
};

void TestPickers::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestPickers::init()
{
    QVERIFY(openSession());
    m_code.clear();
    // On one meridian, so that the distance between two is their difference
    // of latitude, 111.12 km a degree.
    const QString meridian = QStringLiteral("E037*00.00");
    const test::Fixture::Waypoint waypoints[] = {
        {.id = "UUEE", .lat = "N55*00.00", .lon = meridian, .type = "Airport", .name = "Шереметьево"},
        {.id = "ULLI", .lat = "N59*00.00", .lon = meridian, .type = "Airport", .name = "Пулково"},
        {.id = "uudd", .lat = "N54*30.00", .lon = meridian, .type = "Airport", .name = "Домодедово"},
        {.id = "AR", .lat = "N58*00.00", .lon = meridian, .type = "NDB", .region = "UU", .name = "Арбатская площадь"},
        {.id = "UUBW", .lat = "N57*00.00", .lon = meridian, .type = "VOR", .region = "UU", .name = "Быково"},
        {.id = "GEKLA", .lat = "N56*00.00", .lon = meridian, .region = "UL"},
    };
    for (const test::Fixture::Waypoint &w : waypoints)
        m_code.insert(w.id, m_fix->addPunkt(w));
    sql(QStringLiteral("UPDATE Punkts SET Freq = 114.5 WHERE ID = 'UUBW'"));
    for (const char *id : {"KN", "MR", "TL", "FA"})
        m_code.insert(QString::fromLatin1(id),
                      m_fix->addRsbn(QString::fromLatin1(id), QStringLiteral("Маяк ") + QString::fromLatin1(id),
                                     QStringLiteral("N55*00.00"), QStringLiteral("E037*00.00")));
    // The candidates of a search, written out of distance order.
    sql(QStringLiteral("INSERT INTO RSBNSelect (RSBN, L) VALUES (%1, 123.4), (%2, 57), (%3, 299.96)")
            .arg(m_code.value("MR"))
            .arg(m_code.value("KN"))
            .arg(m_code.value("TL")));
}

void TestPickers::cleanup()
{
    closeSession();
}

QString TestPickers::cell(QDialog *dialog, int row, int column) const
{
    auto *grid = dialog->findChild<ui::GridView *>(QStringLiteral("GM"));
    return grid->listModel()->cellText(row, column);
}

void TestPickers::sql(const QString &statement)
{
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY2(q.exec(statement), qPrintable(statement));
}

void TestPickers::waypointPickerOpens_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("distances"); // km from the current point, in ident order
    const QStringList fromPulkovo{"111", "333", "0", "222", "500", "444"};
    QTest::newRow("add: the first in ident order") << int(Mode::Add) << "ULLI" << "AR" << fromPulkovo;
    QTest::newRow("replace: the point's waypoint") << int(Mode::Replace) << "ULLI" << "ULLI" << fromPulkovo;
    QTest::newRow("replace: lower-case ident")
        << int(Mode::Replace) << "uudd" << "uudd" << QStringList{"389", "167", "500", "278", "0", "56"};
    QTest::newRow("add to an empty route: no distances")
        << int(Mode::Add) << "" << "AR" << QStringList(6, QString());
}

void TestPickers::waypointPickerOpens()
{
    QFETCH(int, mode);
    QFETCH(QString, current);
    QFETCH(QString, shown);
    QFETCH(QStringList, distances);
    TF_PPMSel picker(*m_session);
    auto *id = picker.findChild<QLineEdit *>(QStringLiteral("PID"));
    auto *name = picker.findChild<QLineEdit *>(QStringLiteral("PName"));
    id->setText(QStringLiteral("ZZ"));
    name->setText(QStringLiteral("old"));
    picker.prepare(Mode(mode), QStringLiteral("Добавление ППМ"), m_code.value(current));
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));

    QCOMPARE(picker.windowTitle(), QStringLiteral("Добавление ППМ"));
    QVERIFY(!(picker.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(picker.size(), QSize(800, 440));
    QCOMPARE(picker.list().value(u"ID").toString(), shown);
    QVERIFY(id->text().isEmpty());
    QVERIFY(name->text().isEmpty());
    QCOMPARE(id->maxLength(), 10);
    QCOMPARE(name->maxLength(), 100);
    // Ident order ignores letter case.
    QStringList ids;
    for (int row = 0; row < picker.list().rowCount(); ++row)
        ids << cell(&picker, row, 1);
    QCOMPARE(ids, (QStringList{"AR", "GEKLA", "ULLI", "UUBW", "uudd", "UUEE"}));
    // What tells waypoints of one ident apart: type, region, name, frequency,
    // position, and how far each is from the route's current point.
    QCOMPARE(QStringList({cell(&picker, 3, 0), cell(&picker, 3, 2), cell(&picker, 3, 3), cell(&picker, 3, 4),
                          cell(&picker, 3, 5), cell(&picker, 3, 6)}),
             (QStringList{"UU", "Быково", "VOR", "114,50", "N57*00.00", "E037*00.00"}));
    QCOMPARE(cell(&picker, 1, 3), QString());
    QStringList shownDistances;
    for (int row = 0; row < picker.list().rowCount(); ++row)
        shownDistances << cell(&picker, row, 7);
    QCOMPARE(shownDistances, distances);
    auto *grid = picker.findChild<ui::GridView *>(QStringLiteral("GM"));
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Регион", "Пункт", "Наименование", "Тип", "Частота", "Широта", "Долгота", "Расст., км"}));
    QCOMPARE(grid->model()->data(grid->model()->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignCenter);
    QCOMPARE(grid->model()->data(grid->model()->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(picker.findChild<QPushButton *>(QStringLiteral("BOK"))->text(), QStringLiteral("Вставить"));
    QCOMPARE(picker.findChild<QPushButton *>(QStringLiteral("BCancel"))->text(), QStringLiteral("Отмена"));
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestPickers::waypointSearchWhileTyping()
{
    TF_PPMSel picker(*m_session);
    picker.prepare(Mode::Add, QStringLiteral("Добавление ППМ"), 0);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    auto *id = picker.findChild<QLineEdit *>(QStringLiteral("PID"));
    auto *name = picker.findChild<QLineEdit *>(QStringLiteral("PName"));
    id->setFocus();
    test::typeText(id, QStringLiteral("uu"));
    QCOMPARE(id->text(), QStringLiteral("UU"));
    QCOMPARE(picker.list().value(u"ID").toString(), QStringLiteral("AR")); // not before the wait
    QTRY_COMPARE(picker.list().value(u"ID").toString(), QStringLiteral("UUBW"));
    QVERIFY(!picker.findChild<ui::SearchEdit *>(QStringLiteral("PID"))->isNotFound());
    // A text that begins no ident moves nothing once its wait has run out,
    // and the field says so.
    test::typeText(id, QStringLiteral("q"));
    auto *idSearch = qobject_cast<ui::SearchEdit *>(id);
    QVERIFY(idSearch && idSearch->isWaiting());
    QTRY_VERIFY(!idSearch->isWaiting());
    QTRY_VERIFY(idSearch->isNotFound());
    QCOMPARE(picker.list().value(u"ID").toString(), QStringLiteral("UUBW"));
    QCOMPARE(idSearch->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
    QTest::keyClick(id, Qt::Key_Backspace);
    QTRY_VERIFY(!idSearch->isNotFound());
    QVERIFY(m_prompter->messages().isEmpty());

    // By the name: its start, or the start of any word of it.
    name->setFocus();
    test::typeText(name, QStringLiteral("пул"));
    QTRY_COMPARE(picker.list().value(u"ID").toString(), QStringLiteral("ULLI"));
    name->selectAll();
    test::typeText(name, QStringLiteral("ПЛОЩ"));
    QTRY_COMPARE(picker.list().value(u"ID").toString(), QStringLiteral("AR"));
}

namespace {

// A key pressed where the keyboard focus is, as a person presses it.
void press(Qt::Key key)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key);
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

void tabTo(const char *name)
{
    for (int i = 0; i < 10 && focusName() != QLatin1String(name); ++i)
        press(Qt::Key_Tab);
    QCOMPARE(focusName(), QLatin1String(name));
}

void clickRow(ui::GridView *grid, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(grid->model()->index(row, 1)).center());
}

// The ways a person leaves a picker: "ok"/"cancel" click the button, "double"
// double-clicks row 2, "below" double-clicks the empty part under the rows,
// "enter" clicks row 2 and presses Enter, "tab+enter"/"tab cancel+enter" go
// to the button by Tab and press Enter, "escape" presses Esc in the list.
void leave(QDialog &picker, const QString &how)
{
    auto *grid = picker.findChild<ui::GridView *>(QStringLiteral("GM"));
    if (how == u"ok")
        QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("BOK")), Qt::LeftButton);
    else if (how == u"cancel")
        QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("BCancel")), Qt::LeftButton);
    else if (how == u"double")
        doubleClickRow(grid, 1);
    else if (how == u"below")
        test::doubleClick(grid->viewport(), QPoint(20, grid->viewport()->height() - 4));
    else if (how == u"enter") {
        clickRow(grid, 1);
        press(Qt::Key_Return);
    } else if (how == u"tab+enter") {
        tabTo("BOK");
        press(Qt::Key_Return);
    } else if (how == u"tab cancel+enter") {
        tabTo("BCancel");
        press(Qt::Key_Enter);
    } else if (how == u"escape") {
        press(Qt::Key_Escape);
    }
}

} // namespace

void TestPickers::waypointPickerResults_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("Вставить") << "ok" << true;
    QTest::newRow("double click") << "double" << true;
    QTest::newRow("double click below the rows") << "below" << true;
    QTest::newRow("Enter in the list") << "enter" << true;
    QTest::newRow("Tab to Вставить, Enter") << "tab+enter" << true;
    QTest::newRow("Отмена") << "cancel" << false;
    QTest::newRow("Tab to Отмена, Enter") << "tab cancel+enter" << false;
    QTest::newRow("Escape") << "escape" << false;
}

void TestPickers::waypointPickerResults()
{
    QFETCH(QString, how);
    QFETCH(bool, chosen);
    TF_PPMSel picker(*m_session);
    picker.prepare(Mode::Replace, QStringLiteral("Добавление ППМ"), m_code.value("ULLI"));
    picker.show();
    QVERIFY(QTest::qWaitForWindowActive(&picker));
    QCOMPARE(picker.list().rowNumber(), 3);
    QCOMPARE(focusName(), QStringLiteral("GM"));
    // Row 2 (GEKLA) is the one the mouse picks, row 3 (ULLI) the current one.
    leave(picker, how);
    QVERIFY(!picker.isVisible());
    const QString expected = how == u"double" || how == u"enter" ? QStringLiteral("GEKLA") : QStringLiteral("ULLI");
    QCOMPARE(picker.chosen(), chosen ? m_code.value(expected) : 0);
    QVERIFY(!picker.list().isOpen());
}

void TestPickers::waypointChosenByKeysAlone()
{
    TF_PPMSel picker(*m_session);
    picker.prepare(Mode::Add, QStringLiteral("Добавление ППМ"), 0);
    picker.show();
    QVERIFY(QTest::qWaitForWindowActive(&picker));
    tabTo("PID");
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ull"));
    QTRY_COMPARE(picker.list().value(u"ID").toString(), QStringLiteral("ULLI"));
    press(Qt::Key_Return); // to the list
    QCOMPARE(focusName(), QStringLiteral("GM"));
    QVERIFY(picker.isVisible());
    press(Qt::Key_Return); // chooses
    QVERIFY(!picker.isVisible());
    QCOMPARE(picker.chosen(), m_code.value("ULLI"));

    // Esc in a search edit cancels too.
    picker.prepare(Mode::Add, QStringLiteral("Добавление ППМ"), 0);
    picker.show();
    QVERIFY(QTest::qWaitForWindowActive(&picker));
    tabTo("PName");
    press(Qt::Key_Escape);
    QVERIFY(!picker.isVisible());
    QCOMPARE(picker.chosen(), 0);
}

void TestPickers::waypointPickerModalLoop()
{
    TF_PPMSel picker(*m_session);
    QTimer::singleShot(0, &picker, [&picker] {
        picker.list().locate(u"ID", QStringLiteral("GEKLA"));
        picker.findChild<QPushButton *>(QStringLiteral("BOK"))->click();
    });
    QCOMPARE(picker.pickWaypoint(Mode::Add, QStringLiteral("Добавление ППМ"), 0), m_code.value("GEKLA"));
    QTimer::singleShot(0, &picker, [&picker] { picker.findChild<QPushButton *>(QStringLiteral("BCancel"))->click(); });
    QCOMPARE(picker.pickWaypoint(Mode::Replace, QStringLiteral("Добавление ППМ"), m_code.value("UUEE")), 0);
}

void TestPickers::waypointListFailure()
{
    sql(QStringLiteral("ALTER TABLE Punkts RENAME TO Punkts_gone"));
    TF_PPMSel picker(*m_session);
    auto *id = picker.findChild<QLineEdit *>(QStringLiteral("PID"));
    id->setText(QStringLiteral("UU"));
    picker.prepare(Mode::Add, QStringLiteral("Добавление ППМ"), 0);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка выполнения запроса [PPMSel]!"});
    QCOMPARE(m_prompter->messages().at(0).kind, test::RecordingPrompter::Kind::Error);
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.list().rowCount(), 0);
    QCOMPARE(id->text(), QStringLiteral("UU"));
    picker.findChild<QPushButton *>(QStringLiteral("BOK"))->click();
    QCOMPARE(picker.chosen(), 0);
}

void TestPickers::beaconPickerOpens_data()
{
    QTest::addColumn<QVariant>("current");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no beacon: the nearest") << QVariant() << "KN";
    QTest::newRow("the present beacon") << QVariant(m_code.value("MR")) << "MR";
    QTest::newRow("present beacon out of range: the nearest") << QVariant(m_code.value("FA")) << "KN";
}

void TestPickers::beaconPickerOpens()
{
    QFETCH(QVariant, current);
    QFETCH(QString, shown);
    TF_RSBNSel picker(*m_session);
    picker.prepare(current);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(picker.windowTitle(), QStringLiteral(" Выбор маяка РСБН"));
    QVERIFY(!(picker.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(picker.list().value(u"ID").toString(), shown);
    QStringList rows;
    for (int row = 0; row < picker.list().rowCount(); ++row)
        rows << cell(&picker, row, 0) + u' ' + cell(&picker, row, 1) + u' ' + cell(&picker, row, 2);
    QCOMPARE(rows, (QStringList{"KN Маяк KN 57,0", "MR Маяк MR 123,4", "TL Маяк TL 300,0"}));
    auto *grid = picker.findChild<ui::GridView *>(QStringLiteral("GM"));
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Маяк", "Наименование", "Растояние"}));
    QCOMPARE(picker.findChild<QPushButton *>(QStringLiteral("BOK"))->text(), QStringLiteral("OK"));
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestPickers::beaconPickerResults_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("OK") << "ok" << true;
    QTest::newRow("double click") << "double" << true;
    QTest::newRow("double click below the rows") << "below" << true;
    QTest::newRow("Enter in the list") << "enter" << true;
    QTest::newRow("Tab to OK, Enter") << "tab+enter" << true;
    QTest::newRow("Отмена") << "cancel" << false;
    QTest::newRow("Tab to Отмена, Enter") << "tab cancel+enter" << false;
    QTest::newRow("Escape") << "escape" << false;
}

void TestPickers::beaconPickerResults()
{
    QFETCH(QString, how);
    QFETCH(bool, chosen);
    TF_RSBNSel picker(*m_session);
    picker.prepare(m_code.value("TL"));
    picker.show();
    QVERIFY(QTest::qWaitForWindowActive(&picker));
    QCOMPARE(picker.list().rowNumber(), 3);
    QCOMPARE(focusName(), QStringLiteral("GM"));
    // Row 2 (MR) is the one the mouse picks, row 3 (TL) the current one.
    leave(picker, how);
    QVERIFY(!picker.isVisible());
    const QString expected = how == u"double" || how == u"enter" ? QStringLiteral("MR") : QStringLiteral("TL");
    QCOMPARE(picker.chosen(), chosen ? m_code.value(expected) : 0);
    QVERIFY(!picker.list().isOpen());

    QTimer::singleShot(0, &picker, [&picker] {
        QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("BOK")), Qt::LeftButton);
    });
    QCOMPARE(picker.pickBeacon(m_code.value("TL")), m_code.value("TL"));
}

void TestPickers::beaconListFailure()
{
    sql(QStringLiteral("ALTER TABLE RSBNSelect RENAME TO RSBNSelect_gone"));
    TF_RSBNSel picker(*m_session);
    picker.prepare(QVariant());
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка выполнения запроса [RSBNSel]!"});
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.list().rowCount(), 0);
    picker.findChild<QPushButton *>(QStringLiteral("BCancel"))->click();
    QCOMPARE(picker.chosen(), 0);
}

void TestPickers::tabFollowsTheLayout()
{
    TF_PPMSel waypoints(*m_session);
    waypoints.prepare(Mode::Add, QStringLiteral("Добавление ППМ"), 0);
    waypoints.show();
    QVERIFY(QTest::qWaitForWindowActive(&waypoints));
    QCOMPARE(focusName(), QStringLiteral("GM"));
    QCOMPARE(test::tabWalk(5), (QStringList{"PID", "PName", "BOK", "BCancel", "GM"}));
    waypoints.reject();

    TF_RSBNSel beacons(*m_session);
    beacons.prepare(QVariant());
    beacons.show();
    QVERIFY(QTest::qWaitForWindowActive(&beacons));
    QCOMPARE(focusName(), QStringLiteral("GM"));
    QCOMPARE(test::tabWalk(3), (QStringList{"BOK", "BCancel", "GM"}));
}

void TestPickers::pickersGrowAndComeBackSo_data()
{
    QTest::addColumn<bool>("waypoints");
    QTest::addColumn<QSize>("opening");
    QTest::addColumn<int>("nameColumn");
    QTest::addColumn<QString>("prefix"); // of its keys in kalyx.ini
    QTest::newRow("waypoints") << true << QSize(800, 440) << 2 << "PPMSel";
    QTest::newRow("beacons") << false << QSize(420, 320) << 1 << "RSBNSel";
}

void TestPickers::pickersGrowAndComeBackSo()
{
    QFETCH(bool, waypoints);
    QFETCH(QSize, opening);
    QFETCH(int, nameColumn);
    QFETCH(QString, prefix);
    const auto open = [&]() -> std::unique_ptr<ui::PickerDialog> {
        if (waypoints) {
            auto picker = std::make_unique<TF_PPMSel>(*m_session);
            picker->prepare(Mode::Add, QStringLiteral("Добавление ППМ"), 0);
            return picker;
        }
        auto picker = std::make_unique<TF_RSBNSel>(*m_session);
        picker->prepare(QVariant());
        return picker;
    };
    std::unique_ptr<ui::PickerDialog> picker = open();
    picker->show();
    QVERIFY(QTest::qWaitForWindowExposed(picker.get()));
    QCOMPARE(picker->size(), opening);
    QCOMPARE(picker->minimumSize(), opening);
    QVERIFY(picker->maximumWidth() > 2000);
    QVERIFY(!(picker->windowFlags() & Qt::WindowCloseButtonHint));
    auto *grid = picker->findChild<ui::GridView *>(QStringLiteral("GM"));
    const int nameWidth = grid->columnWidth(nameColumn);

    // Made larger, the list takes the room and the name the width; after
    // "Отмена" a new picker opens as large as this one was left. (As large as
    // the screen lets a window come back: the test's screen may be small.)
    const QSize larger = (opening + QSize(200, 100)).boundedTo(picker->screen()->availableGeometry().size() - QSize(8, 40));
    QVERIFY(larger.height() > opening.height());
    picker->resize(larger);
    const QSize left = picker->size(); // never below the opening size
    QVERIFY(left.height() > opening.height());
    QTRY_COMPARE(grid->columnWidth(nameColumn), nameWidth + left.width() - opening.width());
    QTest::mouseClick(picker->findChild<QPushButton *>(QStringLiteral("BCancel")), Qt::LeftButton);
    QVERIFY(!picker->isVisible());
    const QString ini = m_folder->readIni();
    QVERIFY2(ini.contains(QStringLiteral("\r\n%1Width=%2\r\n").arg(prefix).arg(left.width()))
                 && ini.contains(QStringLiteral("\r\n%1Height=%2\r\n").arg(prefix).arg(left.height())),
             qPrintable(ini));

    picker = open();
    picker->show();
    QVERIFY(QTest::qWaitForWindowExposed(picker.get()));
    QCOMPARE(picker->size(), left);
    picker->reject();
}

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"

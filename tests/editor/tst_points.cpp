#include "Fixture.h"
#include "Painted.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "editor/BeaconPicker.h"
#include "editor/U_Points.h"
#include "editor/WaypointPicker.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/ListModel.h"
#include "ui/Meter.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::editor;
using Kind = test::RecordingPrompter::Kind;
using Mode = WaypointPicker::Mode;

namespace {

// Pickers that answer from a script and remember how they were asked.
struct ScriptedWaypoints : WaypointPicker
{
    struct Call
    {
        Mode mode;
        QString caption;
        qint64 current;
    };
    QList<qint64> answers;
    QList<Call> calls;
    qint64 pickWaypoint(Mode mode, const QString &caption, qint64 currentPunkt) override
    {
        calls.append({mode, caption, currentPunkt});
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

struct ScriptedBeacons : BeaconPicker
{
    QList<qint64> answers;
    QList<QVariant> calls;
    qint64 pickBeacon(const QVariant &currentBeacon) override
    {
        calls.append(currentBeacon);
        return answers.isEmpty() ? 0 : answers.takeFirst();
    }
};

const QString kCalculatedAt = QStringLiteral("2024-03-05T14:07:09");

} // namespace

class TestPoints : public test::SessionTest
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openingShowsHeaderPointsAndStatus();
    void notCalculatedStatusAndRowColours();
    void meterFill_data();
    void meterFill();
    void buttonAvailability_data();
    void buttonAvailability();
    void enterInHeaderMovesToFlightLevel();
    void flightLevelTyping_data();
    void flightLevelTyping();
    void firstChangeMarksTheRouteOnce();
    void insertPoint_data();
    void insertPoint();
    void cancelledPickersChangeNothing();
    void replacePointClearsItsValues();
    void deletePoint_data();
    void deletePoint();
    void selectBeacon_data();
    void selectBeacon();
    void beaconNotFoundNamesTheRange();
    void removeBeaconAsks();
    void calculateFromTheWindow();
    void calculationRefusalsAndErrors();
    void closing_data();
    void closing();
    void unreadablePointListIsNotAnEmptyRoute();
    void serviceButtons_data();
    void serviceButtons();
    void contextMenuRunsItsCommand();
    void keyboardWalkAndButtons();
    void enterOrDoubleClickOpensAPoint();
    void windowGrowsAndComesBackSo();

private:
    void openEditor(qint64 route);
    qint64 route(const QStringList &ids, bool calculated);
    QStringList sequence(qint64 route) const;
    qint64 pointCode(qint64 route, int number) const;
    QPushButton *button(const char *name) const;
    QString cell(int row, int column) const;
    void sql(const QString &statement);

    ScriptedWaypoints m_waypoints;
    ScriptedBeacons m_beacons;
    std::unique_ptr<TF_Points> m_window;
    QHash<QString, qint64> m_punkt;
};

void TestPoints::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestPoints::init()
{
    QVERIFY(openSession());
    m_waypoints = {};
    m_beacons = {};
    m_punkt.clear();
    const struct
    {
        const char *id;
        const char *lat;
        const char *lon;
        double ms;
    } waypoints[] = {{"A", "N55*58.27", "E037*24.88", 9.5},
                     {"B", "N56*50.00", "E049*10.00", 11.2},
                     {"C", "N57*20.00", "E061*55.00", 13.4},
                     {"D", "N57*40.00", "E065*00.00", 13.9},
                     {"X", "N56*00.00", "E040*00.00", 10.0}};
    for (const auto &w : waypoints) {
        const QString id = QString::fromLatin1(w.id);
        m_punkt.insert(id, m_fix->addPunkt({.id = id,
                                            .lat = QString::fromLatin1(w.lat),
                                            .lon = QString::fromLatin1(w.lon),
                                            .ms = w.ms,
                                            .name = QStringLiteral("Пункт ") + id}));
    }
}

void TestPoints::cleanup()
{
    m_window.reset();
    closeSession();
}

qint64 TestPoints::route(const QStringList &ids, bool calculated)
{
    const qint64 code = m_fix->addRoute(QStringLiteral("Москва - Сочи"), calculated ? QVariant(1498.8) : QVariant(),
                                        calculated ? QVariant(kCalculatedAt) : QVariant());
    int number = 0;
    for (const QString &id : ids)
        m_fix->addPoint(code, ++number, m_punkt.value(id));
    return code;
}

void TestPoints::openEditor(qint64 route)
{
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
    m_window = std::make_unique<TF_Points>(*m_session, nullptr, &m_waypoints, &m_beacons);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

QStringList TestPoints::sequence(qint64 route) const
{
    return test::Fixture(m_session->ADOC.sql()).sequence(route);
}

qint64 TestPoints::pointCode(qint64 route, int number) const
{
    QSqlQuery q(m_session->ADOC.sql());
    q.prepare(QStringLiteral("SELECT Code FROM Points WHERE Route = ? AND Number = ?"));
    q.addBindValue(route);
    q.addBindValue(number);
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

QPushButton *TestPoints::button(const char *name) const
{
    auto *b = m_window->findChild<QPushButton *>(QString::fromLatin1(name));
    if (!b)
        qWarning("no button %s", name);
    return b;
}

QString TestPoints::cell(int row, int column) const
{
    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("GPPM"));
    return grid->listModel()->cellText(row, column);
}

void TestPoints::sql(const QString &statement)
{
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY2(q.exec(statement), qPrintable(statement));
}

void TestPoints::openingShowsHeaderPointsAndStatus()
{
    const qint64 r = route({"A", "B", "C"}, true);
    const qint64 beacon = m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
    sql(QStringLiteral("UPDATE Routes SET Vilka = 16.7, FL = 10668, AP_V = 'UUEE', AP_P = 'URSS' WHERE Code = %1").arg(r));
    sql(QStringLiteral("UPDATE Points SET MPU = 68.1, S = -728.04, Dm = 137.4, RSBN = %1 WHERE Number = 1").arg(beacon));
    sql(QStringLiteral("UPDATE Points SET MPU = 69.26, S = 0 WHERE Number = 2"));
    openEditor(r);

    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Просмотр/изменение маршрута"));
    QCOMPARE(m_window->size(), QSize(791, 505));
    QCOMPARE(m_window->findChild<QLineEdit *>("PName")->text(), QStringLiteral("Москва - Сочи"));
    QCOMPARE(m_window->findChild<QSpinBox *>("PFL")->text(), QStringLiteral("10 668"));
    QCOMPARE(m_window->findChild<QSpinBox *>("PFL")->maximum(), 99999);
    QCOMPARE(m_window->findChild<QSpinBox *>("PFL")->singleStep(), 100);
    QCOMPARE(m_window->findChild<QLineEdit *>("PAP_V")->text(), QStringLiteral("UUEE"));
    QVERIFY(m_window->findChild<QLineEdit *>("PAP_P")->isReadOnly());
    QCOMPARE(m_window->findChild<QLineEdit *>("PS")->text(), QStringLiteral("1498,8"));
    QCOMPARE(m_window->findChild<QLineEdit *>("PVilka")->text(), QStringLiteral("16,7"));
    QVERIFY(m_window->findChild<QLineEdit *>("PName")->hasFocus());

    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("GPPM"));
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"№", "ППМ", "Наименование", "MPU", "S", "РСБН", "Наименование", "Dm"}));
    QVERIFY(grid->isColumnHidden(7));
    QCOMPARE(QStringList({cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3), cell(0, 4), cell(0, 5), cell(0, 6)}),
             (QStringList{"1", "A", "Пункт A", "68,1", "728,0", "KN", "Кинель"}));
    QCOMPARE(cell(1, 3), QStringLiteral("69,3"));
    QCOMPARE(cell(1, 4), QStringLiteral("0"));
    QCOMPARE(cell(2, 4), QString());
    QCOMPARE(cell(2, 5), QString());
    QCOMPARE(grid->model()->data(grid->model()->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(grid->model()->data(grid->model()->index(0, 4), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignCenter);
    QCOMPARE(m_window->pointList().rowNumber(), 1);

    ui::Meter &meter = m_window->meter();
    QCOMPARE(meter.text(), QStringLiteral("Маршрут расчитан 05.03.2024 14:07:09"));
    QCOMPARE(meter.textColor(), QColor(0, 128, 0));
    QCOMPARE(meter.background(), m_window->palette().color(QPalette::Button));
    QCOMPARE(meter.position(), 0);
    QVERIFY(m_prompter->messages().isEmpty());
    // And painted so: the green text on the button colour.
    const QImage painted = meter.grab().toImage();
    QCOMPARE(painted.pixelColor(meter.contentsRect().topLeft()), m_window->palette().color(QPalette::Button));
    QVERIFY(test::pixelsOf(painted, meter.contentsRect(), QColor(0, 128, 0)) > 0);
}

void TestPoints::notCalculatedStatusAndRowColours()
{
    openEditor(route({"A", "B", "C"}, false));
    ui::Meter &meter = m_window->meter();
    QCOMPARE(meter.text(), QStringLiteral("Маршрут не расчитан!"));
    QCOMPARE(meter.textColor(), QColor(255, 0, 0));
    QCOMPARE(meter.background(), QColor(Qt::white));

    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("GPPM"));
    const ui::CellStyler &style = grid->cellStyler();
    QCOMPARE(style(0, 1, true, true).background, QColor(0, 0, 102));
    QCOMPARE(style(0, 1, true, false).background, QColor(128, 128, 128));
    QCOMPARE(style(0, 1, true, false).text, QColor(Qt::white));
    QCOMPARE(style(0, 1, false, true).background, QColor(240, 255, 240)); // row number 1: odd
    QCOMPARE(style(1, 1, false, true).background, QColor(Qt::white));
    QCOMPARE(style(2, 1, false, false).background, QColor(240, 255, 240));
    QCOMPARE(style(1, 1, false, true).text, QColor(Qt::black));

    // And painted so: an empty cell of each row shows its background.
    m_window->findChild<QLineEdit *>("PName")->setFocus();
    QTRY_VERIFY(!grid->hasFocus());
    const QImage image = grid->viewport()->grab().toImage();
    const auto background = [&](int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 3)); // MPU: empty, not calculated
        return image.pixelColor(cell.center());
    };
    QCOMPARE(background(0), QColor(128, 128, 128)); // selected, grid without the focus
    QCOMPARE(background(1), QColor(Qt::white));
    QCOMPARE(background(2), QColor(240, 255, 240));
}

void TestPoints::meterFill_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("quarterFilled");
    QTest::addColumn<bool>("threeQuartersFilled");
    QTest::newRow("empty") << 4 << 0 << false << false;
    QTest::newRow("half") << 4 << 2 << true << false;
    QTest::newRow("full") << 4 << 4 << true << true;
    QTest::newRow("beyond the maximum") << 4 << 9 << true << true;
    QTest::newRow("no maximum") << 0 << 3 << false << false;
}

void TestPoints::meterFill()
{
    QFETCH(int, maximum);
    QFETCH(int, position);
    QFETCH(bool, quarterFilled);
    QFETCH(bool, threeQuartersFilled);
    ui::Meter meter;
    meter.resize(200, 24);
    meter.setBackground(Qt::white);
    meter.setText(QString());
    meter.setMaximum(maximum);
    meter.setPosition(position);
    const QImage image = meter.grab().toImage();
    const QColor lime(0, 255, 0);
    QCOMPARE(image.pixelColor(50, 12) == lime, quarterFilled);
    QCOMPARE(image.pixelColor(150, 12) == lime, threeQuartersFilled);
    QCOMPARE(image.pixelColor(150, 12) == QColor(Qt::white), !threeQuartersFilled);
    QVERIFY(meter.font().bold());
}

void TestPoints::buttonAvailability_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("withBeacon");
    QTest::addColumn<QString>("enabled"); // BNewP BEditP BDelP BSelectM BDelM as 1/0
    QTest::newRow("first of three") << QStringList{"A", "B", "C"} << 1 << false << "10010";
    QTest::newRow("inner") << QStringList{"A", "B", "C"} << 2 << false << "11110";
    QTest::newRow("inner with beacon") << QStringList{"A", "B", "C"} << 2 << true << "11111";
    QTest::newRow("last") << QStringList{"A", "B", "C"} << 3 << false << "00000";
    QTest::newRow("only point, with beacon") << QStringList{"A"} << 1 << true << "00001";
    QTest::newRow("empty route") << QStringList{} << 0 << false << "10000";
}

void TestPoints::buttonAvailability()
{
    QFETCH(QStringList, ids);
    QFETCH(int, row);
    QFETCH(bool, withBeacon);
    QFETCH(QString, enabled);
    const qint64 r = route(ids, false);
    if (withBeacon) {
        const qint64 beacon = m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
        sql(QStringLiteral("UPDATE Points SET RSBN = %1").arg(beacon));
    }
    openEditor(r);
    if (row > 0) {
        // Move away and back so the buttons follow the current row, not the opening.
        m_window->pointList().last();
        m_window->pointList().first();
        QVERIFY(m_window->pointList().setRowNumber(row));
    }
    QString actual;
    for (const char *name : {"BNewP", "BEditP", "BDelP", "BSelectM", "BDelM"})
        actual += button(name)->isEnabled() ? u'1' : u'0';
    QCOMPARE(actual, enabled);
    for (const char *name : {"BCalc", "BPrint", "BToPLN", "BTo21", "BToPSh", "BOK"})
        QVERIFY2(button(name)->isEnabled(), name);
}

void TestPoints::enterInHeaderMovesToFlightLevel()
{
    openEditor(route({"A", "B"}, false));
    auto *fl = m_window->findChild<QSpinBox *>("PFL");
    for (const char *name : {"PName", "PAP_V", "PAP_P"}) {
        auto *edit = m_window->findChild<QLineEdit *>(name);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY2(fl->hasFocus(), name);
    }
    QVERIFY(m_window->isVisible());
}

void TestPoints::flightLevelTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits") << "12000" << 12000 << "12 000";
    QTest::newRow("with the group blank") << "9 500" << 9500 << "9 500";
    QTest::newRow("above the range") << "123456" << 99999 << "99 999";
    QTest::newRow("letters are refused") << "8x1" << 81 << "81";
}

void TestPoints::flightLevelTyping()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    const qint64 r = route({"A", "B"}, false);
    openEditor(r);
    auto *fl = m_window->findChild<QSpinBox *>("PFL");
    fl->setFocus();
    QTRY_VERIFY(fl->hasFocus());
    QTest::keyClick(fl, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(fl, typed);
    m_window->findChild<QLineEdit *>("PName")->setFocus(); // leaving the field settles it
    QTRY_COMPARE(fl->text(), shown);
    button("BOK")->click();
    QCOMPARE(m_fix->value("Routes", r, "FL").toInt(), stored);
}

void TestPoints::firstChangeMarksTheRouteOnce()
{
    const qint64 r = route({"A", "B", "C"}, true);
    const qint64 beacon = m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
    sql(QStringLiteral("UPDATE Points SET RSBN = %1 WHERE Number = 2").arg(beacon));
    openEditor(r);
    QVERIFY(!m_window->isMarkedNotCalculated());
    // Typing a name, then the first change: one write with both.
    auto *name = m_window->findChild<QLineEdit *>("PName");
    name->selectAll();
    QTest::keyClicks(name, "Route 7");
    m_window->pointList().setRowNumber(2);
    m_prompter->answer(true);
    button("BDelM")->click();
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут не расчитан!"));
    QCOMPARE(m_window->meter().textColor(), QColor(255, 0, 0));
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
    QCOMPARE(m_fix->value("Routes", r, "Name").toString(), QStringLiteral("Route 7"));
    QVERIFY(m_window->isMarkedNotCalculated());

    // Later changes write nothing more: a value put behind the editor's back stays.
    sql(QStringLiteral("UPDATE Routes SET DateTime = '2024-01-01T10:00:00' WHERE Code = %1").arg(r));
    m_waypoints.answers = {m_punkt.value("X")};
    button("BNewP")->click();
    m_waypoints.answers = {m_punkt.value("D")};
    button("BEditP")->click();
    QCOMPARE(m_fix->value("Routes", r, "DateTime").toString(), QStringLiteral("2024-01-01T10:00:00"));
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут не расчитан!"));
    QCOMPARE(m_prompter->unexpectedQuestions(), 0);
}

void TestPoints::insertPoint_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("newRow");
    QTest::newRow("after B") << QStringList{"A", "B", "C"} << 2 << QStringList{"1 A", "2 B", "3 X", "4 C"} << 3;
    QTest::newRow("after A") << QStringList{"A", "B", "C"} << 1 << QStringList{"1 A", "2 X", "3 B", "4 C"} << 2;
    QTest::newRow("into an empty route") << QStringList{} << 0 << QStringList{"1 X"} << 1;
}

void TestPoints::insertPoint()
{
    QFETCH(QStringList, ids);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    QFETCH(int, newRow);
    const qint64 r = route(ids, true);
    openEditor(r);
    if (row > 0)
        m_window->pointList().setRowNumber(row);
    m_waypoints.answers = {m_punkt.value("X")};
    button("BNewP")->click();
    QCOMPARE(m_waypoints.calls.size(), 1);
    QCOMPARE(m_waypoints.calls.at(0).mode, Mode::Add);
    QCOMPARE(m_waypoints.calls.at(0).caption, QStringLiteral("Добавление ППМ"));
    QCOMPARE(sequence(r), expected);
    QCOMPARE(m_window->pointList().rowNumber(), newRow);
    QCOMPARE(m_window->pointList().value(u"Punkts.ID").toString(), QStringLiteral("X"));
    QCOMPARE(m_window->pointList().rowCount(), expected.size());
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestPoints::cancelledPickersChangeNothing()
{
    const qint64 r = route({"A", "B", "C"}, true);
    m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
    openEditor(r);
    m_window->pointList().setRowNumber(2);
    button("BNewP")->click();
    button("BEditP")->click();
    button("BSelectM")->click();
    QCOMPARE(m_waypoints.calls.size(), 2);
    QCOMPARE(m_beacons.calls.size(), 1);
    QCOMPARE(sequence(r), (QStringList{"1 A", "2 B", "3 C"}));
    QVERIFY(m_fix->value("Points", pointCode(r, 2), "RSBN").isNull());
    QCOMPARE(m_fix->value("Routes", r, "DateTime").toString(), kCalculatedAt);
    QVERIFY(!m_window->isMarkedNotCalculated());
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут расчитан 05.03.2024 14:07:09"));
    QCOMPARE(m_window->pointList().rowNumber(), 2);
}

void TestPoints::replacePointClearsItsValues()
{
    const qint64 r = route({"A", "B", "C"}, true);
    const qint64 beacon = m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
    sql(QStringLiteral("UPDATE Points SET RSBN = %1, MPU = 69.3, S = -770.8, Dm = 12.0, IPU = 80.5").arg(beacon));
    openEditor(r);
    m_window->pointList().setRowNumber(2);
    const qint64 b = m_window->currentPointCode();
    m_waypoints.answers = {m_punkt.value("X")};
    button("BEditP")->click();
    QCOMPARE(m_waypoints.calls.size(), 1);
    QCOMPARE(m_waypoints.calls.at(0).mode, Mode::Replace);
    QCOMPARE(m_waypoints.calls.at(0).caption, QStringLiteral("Добавление ППМ"));
    QCOMPARE(m_waypoints.calls.at(0).current, m_punkt.value("B"));
    QCOMPARE(sequence(r), (QStringList{"1 A", "2 X", "3 C"}));
    for (const char *column : {"MPU", "S", "RSBN", "Dm"})
        QVERIFY2(m_fix->value("Points", b, column).isNull(), column);
    QCOMPARE(m_fix->value("Points", pointCode(r, 1), "RSBN").toLongLong(), beacon);
    QCOMPARE(m_window->pointList().rowNumber(), 2);
    QCOMPARE(m_window->currentPointCode(), b);
    QCOMPARE(cell(1, 1), QStringLiteral("X"));
    QCOMPARE(cell(1, 3), QString());
    QCOMPARE(cell(1, 5), QString());
    QVERIFY(!button("BDelM")->isEnabled());
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
}

void TestPoints::deletePoint_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("current");
    QTest::newRow("B") << 2 << true << "Удалить пункт 2 - B из маршрута?" << QStringList{"1 A", "2 C", "3 D"} << "C";
    QTest::newRow("C") << 3 << true << "Удалить пункт 3 - C из маршрута?" << QStringList{"1 A", "2 B", "3 D"} << "D";
    QTest::newRow("answered No") << 2 << false << "Удалить пункт 2 - B из маршрута?"
                                 << QStringList{"1 A", "2 B", "3 C", "4 D"} << "B";
}

void TestPoints::deletePoint()
{
    QFETCH(int, row);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QStringList, expected);
    QFETCH(QString, current);
    const qint64 r = route({"A", "B", "C", "D"}, true);
    openEditor(r);
    m_window->pointList().setRowNumber(row);
    m_prompter->answer(yes);
    button("BDelP")->click();
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Question);
    QCOMPARE(m_prompter->messages().at(0).text, question);
    QVERIFY(m_prompter->messages().at(0).defaultYes);
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Points"));
    QCOMPARE(sequence(r), expected);
    QCOMPARE(m_window->pointList().value(u"Punkts.ID").toString(), current);
    QCOMPARE(m_fix->value("Routes", r, "DateTime").isNull(), yes);
}

void TestPoints::selectBeacon_data()
{
    QTest::addColumn<bool>("hadBeacon");
    QTest::addColumn<QString>("pick"); // ID of the beacon chosen
    QTest::newRow("first beacon") << false << "NE";
    QTest::newRow("picker opens on the present beacon") << true << "FA";
    QTest::newRow("the same beacon again") << true << "NE";
}

void TestPoints::selectBeacon()
{
    QFETCH(bool, hadBeacon);
    QFETCH(QString, pick);
    const qint64 r = route({"A", "B", "C"}, true);
    QHash<QString, qint64> beacons;
    beacons.insert("NE", m_fix->addRsbn("NE", "Near", "N56*50.00", "E049*40.00"));
    beacons.insert("FA", m_fix->addRsbn("FA", "Far", "N55*00.00", "E049*10.00"));
    beacons.insert("OUT", m_fix->addRsbn("OUT", "Out", "N40*00.00", "E049*10.00"));
    if (hadBeacon)
        sql(QStringLiteral("UPDATE Points SET RSBN = %1 WHERE Number = 2").arg(beacons.value("NE")));
    openEditor(r);
    m_window->pointList().setRowNumber(2);
    const qint64 b = m_window->currentPointCode();
    m_beacons.answers = {beacons.value(pick)};
    button("BSelectM")->click();
    QCOMPARE(m_beacons.calls.size(), 1);
    QCOMPARE(m_beacons.calls.at(0).isNull(), !hadBeacon);
    if (hadBeacon)
        QCOMPARE(m_beacons.calls.at(0).toLongLong(), beacons.value("NE"));
    QCOMPARE(m_fix->count("RSBNSelect"), 2);
    QCOMPARE(m_fix->value("Points", b, "RSBN").toLongLong(), beacons.value(pick));
    QCOMPARE(m_window->pointList().rowNumber(), 2);
    QCOMPARE(cell(1, 5), pick);
    QVERIFY(button("BDelM")->isEnabled());
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут не расчитан!"));
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestPoints::beaconNotFoundNamesTheRange()
{
    const qint64 r = route({"A", "B", "C"}, true);
    m_fix->addRsbn("FA", "Far", "N55*00.00", "E049*10.00");
    m_session->settings.rsbnRange = 150;
    openEditor(r);
    m_window->pointList().setRowNumber(2);
    button("BSelectM")->click();
    QCOMPARE(m_prompter->texts(), QStringList{"Маяков в пределах дальности 150 км не найдено!"});
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Points"));
    QVERIFY(m_beacons.calls.isEmpty());
    QCOMPARE(m_fix->value("Routes", r, "DateTime").toString(), kCalculatedAt);
}

void TestPoints::removeBeaconAsks()
{
    const qint64 r = route({"A", "B", "C"}, true);
    const qint64 beacon = m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
    sql(QStringLiteral("UPDATE Points SET RSBN = %1 WHERE Number = 2").arg(beacon));
    openEditor(r);
    m_window->pointList().setRowNumber(2);
    const qint64 b = m_window->currentPointCode();
    m_prompter->answer(false);
    button("BDelM")->click();
    QCOMPARE(m_prompter->texts(), QStringList{"Удалить коррекцию по маяку РСБН для данного пункта?"});
    QVERIFY(m_prompter->messages().at(0).defaultYes);
    QCOMPARE(m_fix->value("Points", b, "RSBN").toLongLong(), beacon);
    QCOMPARE(m_fix->value("Routes", r, "DateTime").toString(), kCalculatedAt);
    m_prompter->answer(true);
    button("BDelM")->click();
    QVERIFY(m_fix->value("Points", b, "RSBN").isNull());
    QCOMPARE(m_window->pointList().rowNumber(), 2);
    QVERIFY(!button("BDelM")->isEnabled());
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
}

void TestPoints::calculateFromTheWindow()
{
    const qint64 r = route({"A", "B", "C"}, false);
    const qint64 beacon = m_fix->addRsbn("KN", "Кинель", "N56*30.00", "E047*00.00");
    sql(QStringLiteral("UPDATE Points SET RSBN = %1 WHERE Number = 1").arg(beacon));
    openEditor(r);
    m_window->pointList().setRowNumber(2);
    ui::Meter &meter = m_window->meter();
    QSignalSpy positions(&meter, &ui::Meter::positionChanged);
    button("BCalc")->click();

    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Info);
    QCOMPARE(m_prompter->lastText(),
             QStringLiteral("Расчет выполнен.\r\n\r\nРасстояние = 1498,8 км\r\nВилка = 16,7 град."));
    QList<int> moves;
    for (const QList<QVariant> &signal : positions)
        moves << signal.at(0).toInt();
    QCOMPARE(moves, (QList<int>{0, 1, 2, 0})); // emptied, leg by leg, emptied
    QCOMPARE(meter.maximum(), 2);
    QVERIFY(meter.text().startsWith(QStringLiteral("Маршрут расчитан ")));
    QCOMPARE(meter.textColor(), QColor(0, 128, 0));
    const QDateTime stored = QDateTime::fromString(m_fix->value("Routes", r, "DateTime").toString(), Qt::ISODate);
    QVERIFY(stored.isValid());
    QCOMPARE(meter.text(), QStringLiteral("Маршрут расчитан ")
                               + QLocale().toString(stored.date(), QLocale::ShortFormat) + u' '
                               + stored.time().toString(QStringLiteral("HH:mm:ss")));
    // The list was read again (new values shown) on the same row.
    QCOMPARE(m_window->pointList().rowNumber(), 2);
    QCOMPARE(cell(0, 3), QStringLiteral("68,1"));
    QCOMPARE(cell(0, 4), QStringLiteral("728,0"));
    QCOMPARE(m_window->findChild<QLineEdit *>("PS")->text(), QStringLiteral("1498,8"));
    QCOMPARE(m_window->findChild<QLineEdit *>("PVilka")->text(), QStringLiteral("16,7"));

    // The marker was cleared: the next change marks the route again.
    m_prompter->answer(true);
    m_window->pointList().setRowNumber(1);
    button("BDelM")->click();
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
    QCOMPARE(meter.text(), QStringLiteral("Маршрут не расчитан!"));
}

void TestPoints::calculationRefusalsAndErrors()
{
    // One point: refused before anything runs.
    const qint64 single = route({"A"}, true);
    openEditor(single);
    button("BCalc")->click();
    QCOMPARE(m_prompter->texts(), QStringList{"Маршрут должен содержать не менее двух пунктов!"});
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут расчитан 05.03.2024 14:07:09"));
    m_window.reset();

    // A waypoint without coordinates: the error's text, and not shown as calculated.
    m_prompter->clear();
    const qint64 broken = route({"A", "B", "C", "D"}, true);
    sql(QStringLiteral("UPDATE Punkts SET LAT = '' WHERE ID = 'C'")); // read on the second leg
    openEditor(broken);
    button("BCalc")->click();
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Error);
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Points"));
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут не расчитан!"));
    QCOMPARE(m_window->meter().position(), 1); // the fill stays where the calculation stopped
    QVERIFY(m_window->isVisible());
}

void TestPoints::closing_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("routeKept");
    QTest::newRow("empty route, Yes") << QStringList{} << QList<bool>{true} << false;
    QTest::newRow("empty route, No") << QStringList{} << QList<bool>{false} << true;
    QTest::newRow("route with points") << QStringList{"A", "B"} << QList<bool>{} << true;
}

void TestPoints::closing()
{
    QFETCH(QStringList, ids);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, routeKept);
    const qint64 first = m_fix->addRoute(QStringLiteral("Альфа"));
    const qint64 r = route(ids, false);
    m_fix->addRoute(QStringLiteral("Омега"));
    openEditor(r);
    auto *name = m_window->findChild<QLineEdit *>("PName");
    name->selectAll();
    QTest::keyClicks(name, "Renamed");
    for (const bool a : answers)
        m_prompter->answer(a);
    button("BOK")->click();

    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_prompter->unexpectedQuestions(), 0);
    QCOMPARE(m_prompter->pendingAnswers(), 0);
    if (!answers.isEmpty()) {
        QCOMPARE(m_prompter->texts(), QStringList{"В маршруте нет ни одного ППМ.\r\nУдалить шапку маршрута?"});
        QVERIFY(m_prompter->messages().at(0).defaultYes);
    } else {
        QVERIFY(m_prompter->messages().isEmpty());
    }
    QCOMPARE(m_fix->value("Routes", r, "Code").isValid(), routeKept);
    store::Query &routes = m_session->QRoutes;
    QCOMPARE(routes.state(), store::Query::State::Browse);
    if (routeKept) {
        QCOMPARE(m_fix->value("Routes", r, "Name").toString(), QStringLiteral("Renamed"));
        QCOMPARE(routes.value(u"Code").toLongLong(), r);
        QCOMPARE(routes.rowCount(), 3);
    } else {
        QCOMPARE(routes.rowCount(), 2);
        QCOMPARE(routes.value(u"Code").toLongLong(), first);
    }
    QVERIFY(!m_window->pointList().isOpen());
}

void TestPoints::unreadablePointListIsNotAnEmptyRoute()
{
    const qint64 r = route({"A", "B"}, true);
    sql(QStringLiteral("ALTER TABLE Punkts RENAME TO Punkts_gone"));
    openEditor(r);
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка открытия запроса! [Points]!"});
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Error);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->pointList().rowCount(), 0);
    // The commands that need the list do nothing; closing does not offer to
    // delete a route whose points could not be read.
    button("BNewP")->click();
    QVERIFY(m_waypoints.calls.isEmpty());
    button("BOK")->click();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_fix->count("Points"), 2);
    QVERIFY(m_fix->value("Routes", r, "Code").isValid());
}

void TestPoints::serviceButtons_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<bool>("calculated");
    QTest::addColumn<bool>("withHooks");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("runs");
    QTest::newRow("no points") << QStringList{} << true << true << QStringList{} << 0;
    QTest::newRow("not calculated") << QStringList{"A", "B"} << false << true
                                    << QStringList(4, QStringLiteral("Маршрут не расчитан!")) << 0;
    QTest::newRow("calculated") << QStringList{"A", "B"} << true << true << QStringList{} << 4;
    QTest::newRow("calculated, commands not there yet") << QStringList{"A", "B"} << true << false << QStringList{} << 0;
}

void TestPoints::serviceButtons()
{
    QFETCH(QStringList, ids);
    QFETCH(bool, calculated);
    QFETCH(bool, withHooks);
    QFETCH(QStringList, messages);
    QFETCH(int, runs);
    openEditor(route(ids, calculated));
    QStringList ran;
    if (withHooks) {
        PointsHooks hooks;
        hooks.print = [&] { ran << "print"; };
        hooks.exportPln = [&] { ran << "pln"; };
        hooks.exportI21 = [&] { ran << "i21"; };
        hooks.exportCell = [&] { ran << "cell"; };
        m_window->setHooks(hooks);
    }
    for (const char *name : {"BPrint", "BToPLN", "BTo21", "BToPSh"})
        button(name)->click();
    QCOMPARE(m_prompter->texts(), messages);
    for (const test::RecordingPrompter::Message &m : m_prompter->messages()) {
        QCOMPARE(m.kind, Kind::Error);
        QCOMPARE(m.owner, QStringLiteral("TF_Points"));
    }
    QCOMPARE(ran, runs ? (QStringList{"print", "pln", "i21", "cell"}) : QStringList());
}

void TestPoints::contextMenuRunsItsCommand()
{
    const qint64 r = route({"A", "B"}, true);
    openEditor(r);
    auto *menu = m_window->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
    QVERIFY(menu);
    auto *item = menu->findChild<QAction *>(QStringLiteral("C1"));
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Cвойства пункта"));
    QCOMPARE(item->text().at(0), QChar(u'C')); // the Latin letter
    // Nothing set yet: nothing happens, the route stays calculated.
    const QString calculated = m_window->meter().text();
    item->trigger();
    QCOMPARE(m_window->meter().text(), calculated);
    QVERIFY(calculated.startsWith(u"Маршрут расчитан"));
    QVERIFY(!m_fix->value("Routes", r, "DateTime").isNull());
    QVERIFY(m_prompter->messages().isEmpty());
    int runs = 0;
    PointsHooks hooks;
    hooks.pointProperties = [&] {
        ++runs;
        m_window->markNotCalculated();
    };
    m_window->setHooks(hooks);
    item->trigger();
    QCOMPARE(runs, 1);
    QCOMPARE(m_window->meter().text(), QStringLiteral("Маршрут не расчитан!"));
}

void TestPoints::keyboardWalkAndButtons()
{
    const qint64 r = route({"A", "B", "C"}, false);
    openEditor(r);
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("PName"));
    m_window->pointList().setRowNumber(2); // every command available
    // The header's name and level (the airports and the totals are passed
    // by), the points and "Расчет", then the buttons down the right side.
    QCOMPARE(test::tabWalk(16), (QStringList{"PFL", "GPPM", "BCalc", "BNewP", "BEditP", "BDelP", "BSelectM", "BPrint",
                                             "BToPLN", "BTo21", "BToPSh", "BOK", "PName", "PFL", "GPPM", "BCalc"}));
    // Enter presses the focused button.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_prompter->lastText(),
             QStringLiteral("Расчет выполнен.\r\n\r\nРасстояние = 1498,8 км\r\nВилка = 16,7 град."));
    QVERIFY(!m_fix->value("Routes", r, "DateTime").isNull());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("BCalc"));
    m_waypoints.answers = {m_punkt.value("X")};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(m_waypoints.calls.size(), 1);
    QCOMPARE(sequence(r), (QStringList{"1 A", "2 B", "3 X", "4 C"}));
}

void TestPoints::enterOrDoubleClickOpensAPoint()
{
    openEditor(route({"A", "B", "C"}, false));
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QList<qint64> opened; // the waypoint of the current point at each opening
    PointsHooks hooks;
    hooks.pointProperties = [&] { opened << m_window->currentPunkt(); };
    m_window->setHooks(hooks);
    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("GPPM"));
    const auto rowCentre = [&](int row) { return grid->visualRect(grid->model()->index(row, 2)).center(); };

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(1));
    QVERIFY(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Return);
    test::doubleClick(grid->viewport(), rowCentre(2));
    QCOMPARE(opened, (QList<qint64>{m_punkt.value("B"), m_punkt.value("C")}));
    QVERIFY(m_window->isVisible()); // Enter in the grid does not close the window
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestPoints::windowGrowsAndComesBackSo()
{
    const qint64 r = route({"A", "B", "C"}, true);
    openEditor(r);
    QCOMPARE(m_window->size(), QSize(791, 505));
    QVERIFY(m_window->windowFlags() & Qt::WindowMaximizeButtonHint);
    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("GPPM"));
    const auto fromRight = [&](const char *name) {
        auto *control = m_window->findChild<QWidget *>(QString::fromLatin1(name));
        return m_window->width() - control->mapTo(m_window.get(), QPoint(control->width(), 0)).x();
    };
    const auto fromBottom = [&](const char *name) {
        auto *control = m_window->findChild<QWidget *>(QString::fromLatin1(name));
        return m_window->height() - control->mapTo(m_window.get(), QPoint(0, control->height())).y();
    };
    const int okRight = fromRight("BOK"), okBottom = fromBottom("BOK"), levelRight = fromRight("PFL");
    const int calcBottom = fromBottom("BCalc"), newRight = fromRight("BNewP");
    const int names = grid->columnWidth(2) + grid->columnWidth(6);
    const int mpu = grid->columnWidth(3);
    const QSize gridSize = grid->size();

    // Larger: the points take the room, the two names the width; the header's
    // numbers, the command buttons and "Закрыть" keep to their edges.
    // (As large as the screen lets a window come back: the test's screen may be small.)
    const QSize larger = QSize(1000, 700).boundedTo(m_window->screen()->availableGeometry().size() - QSize(8, 40));
    QVERIFY(larger.width() > 791 && larger.height() > 505);
    m_window->resize(larger);
    const QSize grown = larger - QSize(791, 505);
    QTRY_COMPARE(grid->size(), gridSize + grown);
    QTRY_COMPARE(grid->columnWidth(2) + grid->columnWidth(6), names + grown.width());
    QCOMPARE(grid->columnWidth(3), mpu);
    QCOMPARE(fromRight("BOK"), okRight);
    QCOMPARE(fromBottom("BOK"), okBottom);
    QCOMPARE(fromRight("PFL"), levelRight);
    QCOMPARE(fromRight("BNewP"), newRight);
    QCOMPARE(fromBottom("BCalc"), calcBottom);

    // Closed and opened again, in the next run: as it was left.
    QTest::mouseClick(button("BOK"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    m_window.reset();
    openEditor(r);
    QCOMPARE(m_window->size(), larger);
}

QTEST_MAIN(TestPoints)
#include "tst_points.moc"

#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "catalogues/U_PPM.h"
#include "catalogues/core/CatalogueLists.h"
#include "editor/U_Points.h"
#include "shell/WaypointProperties.h"
#include "store/Session.h"
#include "ui/CoordinateEdit.h"
#include "ui/Meter.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::shell;
using kx::test::whenOpen;

namespace {

template<typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

// "Cвойства пункта" of the route editor: the waypoint editor on the current
// point's waypoint, and what follows for the route.
class TestWaypointProperties : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fromTheRouteEditor_data();
    void fromTheRouteEditor();
    void onAMissingWaypoint();

private:
    std::unique_ptr<catalogues::CatalogueLists> m_lists;
    std::unique_ptr<catalogues::TF_PPM> m_ppm;
    qint64 m_ndb = 0;
    qint64 m_route1 = 0;
    qint64 m_route2 = 0;
};

void TestWaypointProperties::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
    const qint64 uuee = m_fix->addPunkt(QStringLiteral("UUEE"), QStringLiteral("N55*58.33"), QStringLiteral("E037*24.87"));
    m_ndb = m_fix->addPunkt(
        {.id = "ABCDE", .lat = "N55*00.00", .lon = "E037*00.00", .type = QStringLiteral("NDB"), .region = "UU"});
    const QDateTime calculated(QDate(2024, 5, 1), QTime(12, 0));
    m_route1 = m_fix->addRoute(QStringLiteral("Москва - Сочи"), 1498.8, calculated);
    m_route2 = m_fix->addRoute(QStringLiteral("Alpha"), 12.0, calculated);
    m_fix->addPoint(m_route1, 1, uuee);
    m_fix->addPoint(m_route1, 2, m_ndb);
    m_fix->addPoint(m_route2, 1, m_ndb);
    QVERIFY(m_session->openRoutes());
    m_lists = std::make_unique<catalogues::CatalogueLists>(m_session->ADOC);
    m_ppm = std::make_unique<catalogues::TF_PPM>(*m_session, *m_lists);
}

void TestWaypointProperties::cleanup()
{
    m_ppm.reset();
    m_lists.reset();
    closeSession();
}

void TestWaypointProperties::fromTheRouteEditor_data()
{
    QTest::addColumn<bool>("typeLongitude");
    QTest::addColumn<bool>("typeName");
    QTest::addColumn<int>("closeKey"); // Esc, or 0 for a click on "Сохранить"
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("storedLon");
    QTest::newRow("untouched, saved") << false << false << 0 << false << "E037*00.00";
    QTest::newRow("name typed, saved") << false << true << 0 << false << "E037*00.00";
    QTest::newRow("longitude typed, Esc") << true << true << int(Qt::Key_Escape) << false << "E037*00.00";
    QTest::newRow("longitude typed, saved") << true << false << 0 << true << "E037*00.01";
}

void TestWaypointProperties::fromTheRouteEditor()
{
    QFETCH(bool, typeLongitude);
    QFETCH(bool, typeName);
    QFETCH(int, closeKey);
    QFETCH(bool, marked);
    QFETCH(QString, storedLon);
    store::Query &routes = m_session->QRoutes;
    QVERIFY(routes.locate(u"Code", m_route1));
    editor::TF_Points points(*m_session);
    points.show();
    QVERIFY(QTest::qWaitForWindowExposed(&points));
    QVERIFY(points.pointList().setRowNumber(2)); // the NDB
    const qint64 point = points.currentPointCode();

    bool shown = false;
    whenOpen(m_ppm.get(), [&] {
        shown = m_ppm->isVisible();
        QCOMPARE(child<QLineEdit>(m_ppm.get(), "PID")->text(), QStringLiteral("ABCDE"));
        if (typeName) {
            auto *name = child<QLineEdit>(m_ppm.get(), "PName");
            QTest::mouseClick(name, Qt::LeftButton, Qt::NoModifier, QPoint(3, name->height() / 2));
            QTest::keyClicks(name, QStringLiteral("XY"));
        }
        if (typeLongitude) {
            auto *lon = child<ui::CoordinateEdit>(m_ppm.get(), "PLON");
            QTest::mouseClick(lon, Qt::LeftButton, Qt::NoModifier, QPoint(3, lon->height() / 2));
            QTest::keyClick(lon, Qt::Key_End);
            QTest::keyClick(lon, Qt::Key_Backspace);
            QTest::keyClick(lon, Qt::Key_1);
            QCOMPARE(lon->fieldText(), QStringLiteral("E037*00.01"));
        }
        if (closeKey != 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(closeKey));
        else
            QTest::mouseClick(child<QPushButton>(m_ppm.get(), "BOK"), Qt::LeftButton);
        QVERIFY(!m_ppm->isVisible());
    });
    showWaypointProperties(*m_session, points, *m_lists, *m_ppm);
    QVERIFY(shown);
    QCOMPARE(dbValue("Punkts", m_ndb, "LON").toString(), storedLon);
    // A position saved makes every route through the waypoint not calculated;
    // one typed and cancelled leaves them as they were.
    QCOMPARE(points.isMarkedNotCalculated(), marked);
    QCOMPARE(dbValue("Routes", m_route1, "DateTime").isNull(), marked);
    QCOMPARE(dbValue("Routes", m_route2, "DateTime").isNull(), marked);
    QCOMPARE(points.meter().text().startsWith(QStringLiteral("Маршрут не расчитан")), marked);
    QCOMPARE(routes.value(u"Code").toLongLong(), m_route1);
    QCOMPARE(points.currentPointCode(), point);
    QVERIFY(!m_lists->QPunkts.isOpen());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestWaypointProperties::onAMissingWaypoint()
{
    QVERIFY(m_session->QRoutes.locate(u"Code", m_route1));
    editor::TF_Points points(*m_session);
    points.show();
    QVERIFY(QTest::qWaitForWindowExposed(&points));
    QVERIFY(points.pointList().setRowNumber(2));
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("DELETE FROM Punkts WHERE Code = %1").arg(m_ndb)));
    // The look runs inside the dialog's exec() should it open, else once the
    // call has returned; either way it must have run before the check.
    bool looked = false;
    bool shown = false;
    QTimer::singleShot(0, m_ppm.get(), [&] {
        looked = true;
        shown = m_ppm->isVisible();
        m_ppm->reject();
    });
    showWaypointProperties(*m_session, points, *m_lists, *m_ppm);
    QTRY_VERIFY(looked);
    QVERIFY(!shown);
    QVERIFY(!m_lists->QPunkts.isOpen());
    QVERIFY(m_prompter->messages().isEmpty());
    QVERIFY(!dbValue("Routes", m_route1, "DateTime").isNull());
}

QTEST_MAIN(TestWaypointProperties)
#include "tst_waypointproperties.moc"

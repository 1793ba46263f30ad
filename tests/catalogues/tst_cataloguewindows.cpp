#include "Fixture.h"
#include "Painted.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/U_AP.h"
#include "catalogues/U_PPM.h"
#include "catalogues/U_Punkts.h"
#include "catalogues/U_RSBN.h"
#include "catalogues/U_VPP.h"
#include "store/Session.h"
#include "ui/CoordinateEdit.h"
#include "ui/GridView.h"
#include "ui/ListModel.h"
#include "ui/NumberEdit.h"
#include "ui/SearchEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace kx;
using namespace kx::catalogues;
using kx::test::whenOpen;
using Kind = test::RecordingPrompter::Kind;

namespace {


void enter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

// Replaces a coordinate edit's digits as the user would: select all, type.
void typeCoordinate(ui::CoordinateEdit *edit, const QString &digits)
{
    edit->setFocus();
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, digits);
}

// Whether the control is the one its window gives the keyboard focus to
// (the offscreen platform activates windows late).
bool focused(QWidget *widget)
{
    return widget && widget->window()->focusWidget() == widget;
}

template<typename T>
T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qWarning("no %s in %s", name, qPrintable(window->objectName()));
    return found;
}

QString headerTitles(ui::GridView *grid)
{
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    return titles.join(u'|');
}

} // namespace

// The catalogue windows driven by their controls, with a scripted prompter.
// The size a window has when it is about to be shown.
class SizeAtShow : public QObject
{
public:
    QSize size;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !size.isValid())
            size = static_cast<QWidget *>(watched)->size();
        return false;
    }
};

class TestCatalogueWindows : public test::SessionTest
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void catalogueColumnsFormatsAndColours();
    void searchAsTyped_data();
    void searchAsTyped();
    void closingRereadsTheRouteList();
    void newWaypointFromTheCatalogue();
    void editedFromTheCatalogueByDoubleClick();
    void deletionFromTheCatalogue();

    void editorShowsTheRow();
    void enterWalksTheFields();
    void saveChecksInOrder();
    void duplicateIntersectionAndTypedWaypoint();
    void savedEditMarksRoutesOnlyForAMove_data();
    void savedEditMarksRoutesOnlyForAMove();
    void retypingAfterAFailedCheck();
    void untouchedImportedPositionStaysWhole_data();
    void untouchedImportedPositionStaysWhole();
    void typeDecidesTheRunways_data();
    void typeDecidesTheRunways();
    void cancelDiscardsPendingChanges();

    void airportWindowFeetAndMetres();
    void airportWindowRunways();
    void beaconListDropsDownTwentyRows();
    void runwayDialogNumbers();
    void airportFromTheEditorSharesTheRow();

    void beaconCatalogue();
    void beaconSearchOnEnter_data();
    void beaconSearchOnEnter();
    void tabFollowsTheLayout_data();
    void tabFollowsTheLayout();
    void windowsGrowAndComeBackSo_data();
    void windowsGrowAndComeBackSo();


private:
    bool current(qint64 code) { return m_lists->openPunkts() && m_lists->QPunkts.locate(u"Code", code); }
    // The editor opened as its opener would, without a modal loop.
    void openEditor(TF_PPM::Mode mode);
    // The airport window opened on the current row as the editor would.
    void openAirport();

    std::unique_ptr<CatalogueLists> m_lists;
    std::unique_ptr<TF_PPM> m_ppm;
    std::unique_ptr<TF_Punkts> m_punkts;
    std::unique_ptr<TF_RSBN> m_rsbn;

    qint64 m_uuee = 0;  // airport with runways, used by route 1
    qint64 m_ndb = 0;   // NDB UU ABCDE, used by routes 1 and 2
    qint64 m_vor = 0;
    qint64 m_route1 = 0;
    qint64 m_route2 = 0;
    qint64 m_beacon = 0;
};

void TestCatalogueWindows::initTestCase()
{
    // Number pictures show the user's decimal separator; tests use the comma.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestCatalogueWindows::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));

    m_uuee = m_fix->addPunkt({.id = "UUEE", .lat = "N55*58.33", .lon = "E037*24.87", .type = "Airport",
                              .region = "UU", .name = "Шереметьево"});
    m_ndb = m_fix->addPunkt(
        {.id = "ABCDE", .lat = "N55*00.00", .lon = "E037*00.00", .type = "NDB", .region = "UU", .name = "Привод"});
    m_vor = m_fix->addPunkt({.id = "UUEEX", .lat = "N56*00.00", .lon = "E038*00.00", .type = "VOR", .region = "UU"});
    m_fix->addPunkt({.id = "AAA", .lat = "N50*00.00", .lon = "E030*00.00", .name = "London Heathrow"});
    exec(QStringLiteral("UPDATE Punkts SET Freq = 114.5, MS = 10.2 WHERE Code = ?"), {m_vor});
    exec(QStringLiteral("INSERT INTO Runways (AP, Runway, ILSAngle) VALUES (?, '06C', 75), (?, '24C', 255)"),
         {m_uuee, m_uuee});

    const QDateTime calculated(QDate(2024, 5, 1), QTime(12, 0));
    m_route1 = m_fix->addRoute(QStringLiteral("Москва - Сочи"), 1498.8, calculated);
    m_route2 = m_fix->addRoute(QStringLiteral("Alpha"), 12.0, calculated);
    m_fix->addPoint(m_route1, 1, m_uuee);
    m_fix->addPoint(m_route1, 2, m_ndb);
    m_fix->addPoint(m_route2, 1, m_ndb);
    m_fix->addRsbn(QStringLiteral("ZB"), QStringLiteral("Зет"), QStringLiteral("N56*00.00"),
                   QStringLiteral("E040*00.00"), QStringLiteral("UU"));
    m_beacon = m_fix->addRsbn(QStringLiteral("AB"), QStringLiteral("Абакан"), QStringLiteral("N53*44.00"),
                              QStringLiteral("E091*23.00"), QStringLiteral("UN"));
    m_fix->addRsbn(QStringLiteral("AC"), QStringLiteral("Ачинск"), QStringLiteral("N56*16.00"),
                   QStringLiteral("E090*34.00"), QStringLiteral("UN"));
    m_fix->addRsbn(QStringLiteral("AA"), QStringLiteral("Анапа"), QStringLiteral("N45*00.00"),
                   QStringLiteral("E037*20.00"), QStringLiteral("UR"));
    QVERIFY(m_session->openRoutes());

    m_lists = std::make_unique<CatalogueLists>(m_session->ADOC);
    m_ppm = std::make_unique<TF_PPM>(*m_session, *m_lists);
    m_punkts = std::make_unique<TF_Punkts>(*m_session, *m_lists, *m_ppm);
    m_rsbn = std::make_unique<TF_RSBN>(*m_session, *m_lists);
}

void TestCatalogueWindows::cleanup()
{
    m_rsbn.reset();
    m_punkts.reset();
    m_ppm.reset();
    m_lists.reset();
    closeSession();
}

void TestCatalogueWindows::openEditor(TF_PPM::Mode mode)
{
    m_ppm->setMode(mode);
    m_ppm->show();
    QVERIFY(QTest::qWaitForWindowActive(m_ppm.get()));
}

void TestCatalogueWindows::openAirport()
{
    TF_AP &ap = m_ppm->airportWindow();
    QVERIFY(m_lists->QPunkts.edit());
    ap.show();
    QVERIFY(QTest::qWaitForWindowActive(&ap));
}

void TestCatalogueWindows::catalogueColumnsFormatsAndColours()
{
    m_punkts->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_punkts.get()));
    QCOMPARE(m_punkts->windowTitle(), QStringLiteral("Пункты"));
    QCOMPARE(child<QGroupBox>(m_punkts.get(), "GroupBox1")->title(), QStringLiteral("Пункты"));
    auto *grid = child<ui::GridView>(m_punkts.get(), "G1");
    QCOMPARE(headerTitles(grid), QStringLiteral("Регион|Пункт|Наименование|Тип|Частота|Широта|Долгота|МС"));
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0x80));
    QVERIFY(focused(grid));

    // In ident order: AAA, ABCDE, UUEE, UUEEX.
    ui::ListModel *model = grid->listModel();
    QCOMPARE(model->cellText(0, 1), QStringLiteral("AAA"));
    QCOMPARE(model->cellText(3, 1), QStringLiteral("UUEEX"));
    QCOMPARE(model->cellText(3, 4), QStringLiteral("114,50"));
    QCOMPARE(model->cellText(3, 7), QStringLiteral("10,2"));
    QCOMPARE(model->cellText(1, 3), QStringLiteral("NDB"));
    QCOMPARE(model->cellText(0, 3), QString());
    QCOMPARE(model->data(model->index(1, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft,
             Qt::AlignLeft);
    QCOMPARE(model->data(model->index(1, 5), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);

    const ui::CellStyler &style = grid->cellStyler();
    const QColor tint(0xEB, 0xF5, 0xF5);
    QCOMPARE(style(0, 1, false, true).background, tint); // row number 1: odd
    QCOMPARE(style(1, 1, false, true).background, QColor(Qt::white));
    QCOMPARE(style(1, 1, false, true).text, QColor(Qt::black));
    QCOMPARE(style(0, 1, true, false).background, QColor(0, 0, 0x66));
    QCOMPARE(style(0, 1, true, false).text, QColor(Qt::white));
    // The type's colour, on the selected row too; an intersection keeps the row's.
    QCOMPARE(style(2, 3, false, true).text, QColor(0, 0x80, 0)); // Airport
    QCOMPARE(style(1, 3, true, true).text, QColor(0xFF, 0, 0));  // NDB, selected
    QCOMPARE(style(3, 3, false, true).text, QColor(0, 0, 0xFF)); // VOR
    QCOMPARE(style(0, 3, true, true).text, QColor(Qt::white));   // intersection
    QCOMPARE(style(3, 2, false, true).text, QColor(Qt::black));  // other columns
    // And painted so, on the rows the current one leaves alone.
    QCOMPARE(m_lists->QPunkts.rowNumber(), 1);
    const QImage image = grid->viewport()->grab().toImage();
    const QRect ndb = test::paintedCell(grid, 1, 3);
    const QRect airport = test::paintedCell(grid, 2, 3);
    const QRect vor = test::paintedCell(grid, 3, 3);
    QVERIFY(test::pixelsOf(image, ndb, QColor(0xFF, 0, 0)) > 0);
    QVERIFY(test::pixelsOf(image, airport, QColor(0, 0x80, 0)) > 0);
    QVERIFY(test::pixelsOf(image, vor, QColor(0, 0, 0xFF)) > 0);
    QCOMPARE(test::pixelsOf(image, vor, QColor(0, 0x80, 0)), 0);
    QCOMPARE(image.pixelColor(ndb.topLeft()), QColor(Qt::white));
    QCOMPARE(image.pixelColor(airport.topLeft()), tint);
}

void TestCatalogueWindows::searchAsTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found"); // the ident found; empty: nothing, the row stays
    QTest::addColumn<bool>("enter");    // Enter after typing, rather than the wait
    for (const bool enter : {false, true}) {
        const QByteArray how = enter ? ", Enter" : ", waited";
        QTest::newRow("ident" + how) << "PID" << "uuee" << "UUEE" << enter; // not UUEEX
        QTest::newRow("start of an ident" + how) << "PID" << "ab" << "ABCDE" << enter;
        QTest::newRow("no such ident" + how) << "PID" << "uuex" << "" << enter;
        QTest::newRow("start of a name" + how) << "PName" << "прив" << "ABCDE" << enter;
        QTest::newRow("a word of a name" + how) << "PName" << "Heathrow" << "AAA" << enter;
        QTest::newRow("no such name" + how) << "PName" << "Gatwick" << "" << enter;
    }
}

void TestCatalogueWindows::searchAsTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, found);
    QFETCH(bool, enter);
    m_punkts->show();
    QVERIFY(QTest::qWaitForWindowActive(m_punkts.get()));
    store::Query &list = m_lists->QPunkts;
    auto *grid = child<ui::GridView>(m_punkts.get(), "G1");
    auto *search = child<ui::SearchEdit>(m_punkts.get(), qPrintable(field));
    QCOMPARE(child<QLineEdit>(m_punkts.get(), "PID")->maxLength(), 10);
    QVERIFY(list.locate(u"Code", m_vor));

    QTest::mouseClick(search, Qt::LeftButton);
    QVERIFY(focused(search));
    test::typeText(search, typed);
    if (field == u"PID")
        QCOMPARE(search->text(), typed.toUpper()); // typed in capitals
    if (enter)
        QTest::keyClick(search, Qt::Key_Return);
    else
        QTRY_VERIFY(!search->isWaiting());
    if (found.isEmpty()) {
        // Said in place: the field turns red, the row stays, no message box.
        QVERIFY(search->isNotFound());
        QCOMPARE(list.value(u"Code").toLongLong(), m_vor);
        QCOMPARE(focused(search), true);
        if (enter)
            QCOMPARE(search->selectedText(), search->text());
    } else {
        QVERIFY(!search->isNotFound());
        QCOMPARE(list.value(u"ID").toString(), found);
        QCOMPARE(grid->currentIndex().row(), list.currentIndex());
        QCOMPARE(focused(grid), enter); // Enter takes the person to the list
    }
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestCatalogueWindows::closingRereadsTheRouteList()
{
    store::Query &routes = m_session->QRoutes;
    QVERIFY(routes.locate(u"Code", m_route1));
    QVERIFY(!routes.value(u"DateTime").isNull());
    m_punkts->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_punkts.get()));
    // Something (a saved waypoint) marked the route meanwhile.
    exec(QStringLiteral("UPDATE Routes SET DateTime = NULL WHERE Code = ?"), {m_route1});
    child<QPushButton>(m_punkts.get(), "BClose")->click();
    QVERIFY(!m_punkts->isVisible());
    QVERIFY(!m_lists->QPunkts.isOpen());
    QCOMPARE(routes.value(u"Code").toLongLong(), m_route1);
    QVERIFY(routes.value(u"DateTime").isNull());
}

void TestCatalogueWindows::newWaypointFromTheCatalogue()
{
    m_punkts->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_punkts.get()));
    bool shown = false;
    whenOpen(m_ppm.get(), [&] {
        shown = m_ppm->isVisible();
        QCOMPARE(m_ppm->windowTitle(), QStringLiteral("Новый ППМ"));
        QVERIFY(focused(child<QComboBox>(m_ppm.get(), "PType")));
        child<QComboBox>(m_ppm.get(), "PType")->setCurrentIndex(3); // VOR
        test::typeText(child<QLineEdit>(m_ppm.get(), "PRegion"), QStringLiteral("ua"));
        test::typeText(child<QLineEdit>(m_ppm.get(), "PID"), QStringLiteral("new"));
        test::typeText(child<QLineEdit>(m_ppm.get(), "PName"), QStringLiteral("Новый маяк"));
        typeCoordinate(child<ui::CoordinateEdit>(m_ppm.get(), "PLAT"), QStringLiteral("432012"));
        typeCoordinate(child<ui::CoordinateEdit>(m_ppm.get(), "PLON"), QStringLiteral("0770530"));
        test::typeText(child<QLineEdit>(m_ppm.get(), "PFreq"), QStringLiteral("113,7"));
        child<QPushButton>(m_ppm.get(), "BOK")->click();
    });
    child<QPushButton>(m_punkts.get(), "BNew")->click();
    QVERIFY(shown);
    QVERIFY(!m_ppm->isVisible());
    QVERIFY(m_prompter->messages().isEmpty());

    store::Query &list = m_lists->QPunkts;
    QCOMPARE(list.rowCount(), 5);
    QCOMPARE(list.value(u"ID").toString(), QStringLiteral("NEW")); // the new waypoint is current
    const qint64 code = list.value(u"Code").toLongLong();
    QCOMPARE(dbValue("Punkts", code, "Region").toString(), QStringLiteral("UA"));
    QCOMPARE(dbValue("Punkts", code, "Name").toString(), QStringLiteral("Новый маяк"));
    QCOMPARE(dbValue("Punkts", code, "Type").toString(), QStringLiteral("VOR"));
    QCOMPARE(dbValue("Punkts", code, "LAT").toString(), QStringLiteral("N43*20.12"));
    QCOMPARE(dbValue("Punkts", code, "LON").toString(), QStringLiteral("E077*05.30"));
    QCOMPARE(dbValue("Punkts", code, "Freq").toDouble(), 113.7);
    QCOMPARE(dbValue("Punkts", code, "MS").toDouble(), test::TestFolder::variationAt(43, 77)); // the table at N43 E077
}

void TestCatalogueWindows::editedFromTheCatalogueByDoubleClick()
{
    m_punkts->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_punkts.get()));
    QVERIFY(m_lists->QPunkts.locate(u"Code", m_vor));
    bool shown = false;
    whenOpen(m_ppm.get(), [&] {
        shown = m_ppm->isVisible();
        QCOMPARE(m_ppm->windowTitle(), QStringLiteral("Правка/просмотр ППМ"));
        QCOMPARE(child<QLineEdit>(m_ppm.get(), "PID")->text(), QStringLiteral("UUEEX"));
        child<QPushButton>(m_ppm.get(), "BCancel")->click();
    });
    auto *grid = child<ui::GridView>(m_punkts.get(), "G1");
    const QRect cell = grid->visualRect(grid->model()->index(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(shown);
}

void TestCatalogueWindows::deletionFromTheCatalogue()
{
    m_punkts->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_punkts.get()));
    QVERIFY(m_lists->QPunkts.locate(u"Code", m_ndb));
    child<QPushButton>(m_punkts.get(), "BDel")->click();
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Punkts"));
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Удаление невозможно, так как\r\nссылки на этот ППМ присутствуют в "
                                                    "маршрутах:\r\nМосква - Сочи\r\nAlpha"));

    QVERIFY(m_lists->QPunkts.locate(u"Code", m_vor));
    m_prompter->answer(true);
    child<QPushButton>(m_punkts.get(), "BDel")->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Удалить ППМ [UUEEX ]?"));
    QCOMPARE(m_lists->QPunkts.rowCount(), 3);
    QCOMPARE(child<ui::GridView>(m_punkts.get(), "G1")->model()->rowCount(), 3);
    QCOMPARE(m_fix->count("Punkts"), 3);
}

void TestCatalogueWindows::editorShowsTheRow()
{
    QVERIFY(current(m_uuee));
    openEditor(TF_PPM::Mode::Edit);
    auto *typeList = child<QComboBox>(m_ppm.get(), "PType");
    QCOMPARE(typeList->currentText(), QStringLiteral("Airport"));
    QStringList items;
    for (int i = 0; i < typeList->count(); ++i)
        items << typeList->itemText(i);
    QCOMPARE(items, (QStringList{"Пересечение", "Airport", "NDB", "VOR"}));
    QCOMPARE(child<QLineEdit>(m_ppm.get(), "PID")->text(), QStringLiteral("UUEE"));
    QCOMPARE(child<QLineEdit>(m_ppm.get(), "PName")->text(), QStringLiteral("Шереметьево"));
    QCOMPARE(child<ui::CoordinateEdit>(m_ppm.get(), "PLAT")->fieldText(), QStringLiteral("N55*58.33"));
    QCOMPARE(child<ui::CoordinateEdit>(m_ppm.get(), "PLON")->fieldText(), QStringLiteral("E037*24.87"));
    // An airport: no region, and the airport window's button.
    QVERIFY(!child<QLineEdit>(m_ppm.get(), "PRegion")->isVisible());
    QVERIFY(!child<QLabel>(m_ppm.get(), "LR")->isVisible());
    QVERIFY(child<QPushButton>(m_ppm.get(), "BAP")->isVisible());
    QCOMPARE(child<QPushButton>(m_ppm.get(), "BAP")->text(), QStringLiteral("Аэропорт"));
    QVERIFY(focused(typeList));
    QCOMPARE(m_lists->QPunkts.state(), store::Query::State::Edit);

    typeList->setCurrentIndex(2);
    QVERIFY(child<QLineEdit>(m_ppm.get(), "PRegion")->isVisible());
    QVERIFY(child<QLabel>(m_ppm.get(), "LR")->isVisible());
    QVERIFY(!child<QPushButton>(m_ppm.get(), "BAP")->isVisible());
    child<QPushButton>(m_ppm.get(), "BCancel")->click();

    // New mode never offers the airport window; both positions start empty.
    openEditor(TF_PPM::Mode::New);
    child<QComboBox>(m_ppm.get(), "PType")->setCurrentIndex(1);
    QVERIFY(!child<QPushButton>(m_ppm.get(), "BAP")->isVisible());
    QVERIFY(!child<QLineEdit>(m_ppm.get(), "PRegion")->isVisible());
    QCOMPARE(child<ui::CoordinateEdit>(m_ppm.get(), "PLAT")->fieldText(), QStringLiteral("N  *  .  "));
    QCOMPARE(child<ui::CoordinateEdit>(m_ppm.get(), "PLON")->fieldText(), QStringLiteral("E   *  .  "));
    QCOMPARE(child<QLineEdit>(m_ppm.get(), "PID")->text(), QString());
    child<QPushButton>(m_ppm.get(), "BCancel")->click();
}

void TestCatalogueWindows::enterWalksTheFields()
{
    QVERIFY(current(m_ndb));
    openEditor(TF_PPM::Mode::Edit);
    QWidget *typeList = child<QWidget>(m_ppm.get(), "PType");
    auto *lat = child<ui::CoordinateEdit>(m_ppm.get(), "PLAT");
    auto *lon = child<ui::CoordinateEdit>(m_ppm.get(), "PLON");
    enter(typeList);
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PRegion")));
    enter(QApplication::focusWidget());
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PID")));
    enter(QApplication::focusWidget());
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PName")));
    enter(QApplication::focusWidget());
    QVERIFY(focused(lat));

    // A latitude beyond 90 degrees keeps the focus, with its message.
    lat->setFieldText(QStringLiteral("N91*00.00"));
    enter(lat);
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Ошибка ввода широты!")});
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_PPM"));
    QVERIFY(focused(lat));
    QCOMPARE(lat->selectedText(), QStringLiteral("N91*00.00"));
    // Blanks become zeros in place on the way on.
    lat->setFieldText(QStringLiteral("N5 *3 .  "));
    enter(lat);
    QCOMPARE(lat->fieldText(), QStringLiteral("N50*30.00"));
    QVERIFY(focused(lon));
    lon->setFieldText(QStringLiteral("W181*00.00"));
    enter(lon);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка ввода долготы!"));
    QVERIFY(focused(lon));
    lon->setFieldText(QStringLiteral("W180*00.00"));
    enter(lon);
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PFreq")));
    enter(QApplication::focusWidget());
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "BOK")));
    QVERIFY(m_ppm->isVisible()); // Enter itself saved nothing
    QCOMPARE(m_prompter->messages().size(), 2);
    QVERIFY(!m_ppm->positionSaved()); // typed, not stored yet

    // For an airport the region is passed by.
    child<QComboBox>(m_ppm.get(), "PType")->setCurrentIndex(1);
    typeList->setFocus();
    enter(typeList);
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PID")));
    // Enter on "Сохранить" saves: south and west are stored with their letters.
    auto *ok = child<QPushButton>(m_ppm.get(), "BOK");
    ok->setFocus();
    enter(ok);
    QVERIFY(!m_ppm->isVisible());
    QCOMPARE(dbValue("Punkts", m_ndb, "LAT").toString(), QStringLiteral("N50*30.00"));
    QCOMPARE(dbValue("Punkts", m_ndb, "LON").toString(), QStringLiteral("W180*00.00"));
    QCOMPARE(dbValue("Punkts", m_ndb, "Type").toString(), QStringLiteral("Airport"));
}

void TestCatalogueWindows::saveChecksInOrder()
{
    QVERIFY(m_lists->openPunkts());
    openEditor(TF_PPM::Mode::New);
    auto *ok = child<QPushButton>(m_ppm.get(), "BOK");
    auto *lat = child<ui::CoordinateEdit>(m_ppm.get(), "PLAT");
    auto *lon = child<ui::CoordinateEdit>(m_ppm.get(), "PLON");

    lat->setFieldText(QStringLiteral("N57*61.00"));
    ok->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка ввода широты!"));
    QVERIFY(focused(lat));
    lat->setFieldText(QStringLiteral("N57*20.00"));
    lon->setFieldText(QStringLiteral("E181*00.00"));
    ok->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка ввода долготы!"));
    QVERIFY(focused(lon));

    // An empty longitude is 000*00.00 after the check: still not a position,
    // but the region comes first.
    lon->clearDigits();
    ok->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Не заполнено поле [Регион]!"));
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PRegion")));
    QCOMPARE(lon->fieldText(), QStringLiteral("E000*00.00"));
    test::typeText(child<QLineEdit>(m_ppm.get(), "PRegion"), QStringLiteral("UU"));
    ok->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Не заполнено поле [Пункт]!"));
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PID")));
    test::typeText(child<QLineEdit>(m_ppm.get(), "PID"), QStringLiteral("ABCDE"));
    ok->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Неправильно заполнены координаты!"));
    QVERIFY(focused(lat));
    // 00*00.00 is refused though it is a valid coordinate.
    lat->setFieldText(QStringLiteral("N00*00.00"));
    lon->setFieldText(QStringLiteral("E037*00.00"));
    ok->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Неправильно заполнены координаты!"));
    QVERIFY(m_ppm->isVisible());
    QCOMPARE(m_prompter->messages().size(), 6);
    for (const auto &m : m_prompter->messages())
        QCOMPARE(m.kind, Kind::Error);
    QCOMPARE(m_fix->count("Punkts"), 4);
    child<QPushButton>(m_ppm.get(), "BCancel")->click();
}

void TestCatalogueWindows::duplicateIntersectionAndTypedWaypoint()
{
    QVERIFY(m_lists->openPunkts());
    // An intersection with an NDB's region, ident and position is refused.
    openEditor(TF_PPM::Mode::New);
    test::typeText(child<QLineEdit>(m_ppm.get(), "PRegion"), QStringLiteral("UU"));
    test::typeText(child<QLineEdit>(m_ppm.get(), "PID"), QStringLiteral("ABCDE"));
    child<ui::CoordinateEdit>(m_ppm.get(), "PLAT")->setFieldText(QStringLiteral("N55*00.00"));
    child<ui::CoordinateEdit>(m_ppm.get(), "PLON")->setFieldText(QStringLiteral("E037*00.00"));
    child<QPushButton>(m_ppm.get(), "BOK")->click();
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Такой пункт уже существует в базе данных!")});
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PLAT")));
    QVERIFY(m_ppm->isVisible());
    // The same entry as a VOR is accepted.
    child<QComboBox>(m_ppm.get(), "PType")->setCurrentIndex(3);
    child<QPushButton>(m_ppm.get(), "BOK")->click();
    QVERIFY(!m_ppm->isVisible());
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_fix->count("Punkts"), 5);
    QCOMPARE(m_lists->QPunkts.value(u"Type").toString(), QStringLiteral("VOR"));
}

void TestCatalogueWindows::savedEditMarksRoutesOnlyForAMove_data()
{
    QTest::addColumn<QString>("change"); // what is typed before "Сохранить"
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<bool>("moved"); // every route through it is then not calculated
    // Without a change the one duplicate match is the waypoint itself.
    QTest::newRow("nothing") << "" << "Привод" << "N55*00.00" << false;
    QTest::newRow("the name alone") << "name" << "Привод новый" << "N55*00.00" << false;
    QTest::newRow("a hundredth of a minute") << "latitude" << "Привод" << "N55*00.01" << true;
}

void TestCatalogueWindows::savedEditMarksRoutesOnlyForAMove()
{
    QFETCH(QString, change);
    QFETCH(QString, name);
    QFETCH(QString, lat);
    QFETCH(bool, moved);
    QVERIFY(current(m_ndb));
    openEditor(TF_PPM::Mode::Edit);
    if (change == u"name") {
        test::typeText(child<QLineEdit>(m_ppm.get(), "PName"), QStringLiteral(" новый"));
    } else if (change == u"latitude") {
        auto *field = child<ui::CoordinateEdit>(m_ppm.get(), "PLAT");
        field->setFocus();
        field->setCursorPosition(8);
        QTest::keyClick(field, Qt::Key_1);
        QCOMPARE(field->fieldText(), lat);
    }
    QVERIFY(!m_ppm->positionSaved());
    child<QPushButton>(m_ppm.get(), "BOK")->click();
    QVERIFY(!m_ppm->isVisible());
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_ppm->positionSaved(), moved);
    QCOMPARE(dbValue("Punkts", m_ndb, "Name").toString(), name);
    QCOMPARE(dbValue("Punkts", m_ndb, "LAT").toString(), lat);
    // The variation is recomputed from the position whatever changed (0 before).
    QCOMPARE(dbValue("Punkts", m_ndb, "MS").toDouble(), test::TestFolder::variationAt(55, 37));
    QCOMPARE(dbValue("Routes", m_route1, "DateTime").isNull(), moved);
    QCOMPARE(dbValue("Routes", m_route2, "DateTime").isNull(), moved);
}

void TestCatalogueWindows::retypingAfterAFailedCheck()
{
    QVERIFY(current(m_ndb));
    openEditor(TF_PPM::Mode::Edit);
    auto *lat = child<ui::CoordinateEdit>(m_ppm.get(), "PLAT");
    QTest::mouseClick(lat, Qt::LeftButton, Qt::NoModifier, QPoint(3, lat->height() / 2));
    QTest::keyClick(lat, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(lat, QStringLiteral("n95"));
    enter(lat);
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Ошибка ввода широты!")});
    QVERIFY(focused(lat));
    QCOMPARE(lat->selectedText(), lat->displayText());

    // The selected field is retyped as any field is.
    QTest::keyClicks(lat, QStringLiteral("5558"));
    QCOMPARE(lat->fieldText(), QStringLiteral("N55*58.  "));
    enter(lat);
    QCOMPARE(m_prompter->messages().size(), 1);
    QVERIFY(focused(child<QWidget>(m_ppm.get(), "PLON")));
    QCOMPARE(lat->fieldText(), QStringLiteral("N55*58.00"));

    // Ctrl+A and Delete empty it, and the check still refuses what is typed wrong.
    QTest::mouseClick(lat, Qt::LeftButton, Qt::NoModifier, QPoint(3, lat->height() / 2));
    QTest::keyClick(lat, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(lat, Qt::Key_Delete);
    QCOMPARE(lat->fieldText(), QStringLiteral("N  *  .  "));
    QTest::keyClicks(lat, QStringLiteral("5761"));
    enter(lat);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка ввода широты!"));
    QCOMPARE(m_prompter->messages().size(), 2);
}

void TestCatalogueWindows::untouchedImportedPositionStaysWhole_data()
{
    QTest::addColumn<bool>("retyped"); // the longitude's last digit typed again
    QTest::addColumn<QString>("lon");
    QTest::addColumn<bool>("moved");
    QTest::newRow("untouched") << false << "E035*01.678" << false;
    QTest::newRow("longitude retyped") << true << "E035*01.69" << true;
}

void TestCatalogueWindows::untouchedImportedPositionStaysWhole()
{
    QFETCH(bool, retyped);
    QFETCH(QString, lon);
    QFETCH(bool, moved);
    // As a flight plan import stores it: three digits of fraction.
    exec(QStringLiteral("UPDATE Punkts SET LAT = 'N56*12.345', LON = 'E035*01.678' WHERE Code = ?"), {m_ndb});
    QVERIFY(current(m_ndb));
    openEditor(TF_PPM::Mode::Edit);
    QCOMPARE(child<ui::CoordinateEdit>(m_ppm.get(), "PLAT")->fieldText(), QStringLiteral("N56*12.34"));
    if (retyped) {
        // A field the person changed is taken as typed.
        auto *field = child<ui::CoordinateEdit>(m_ppm.get(), "PLON");
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, QPoint(3, field->height() / 2));
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_9);
    }
    QTest::mouseClick(child<QPushButton>(m_ppm.get(), "BOK"), Qt::LeftButton);
    QVERIFY(!m_ppm->isVisible());
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(dbValue("Punkts", m_ndb, "LAT").toString(), QStringLiteral("N56*12.345"));
    QCOMPARE(dbValue("Punkts", m_ndb, "LON").toString(), lon);
    QCOMPARE(dbValue("Routes", m_route1, "DateTime").isNull(), moved);
    QCOMPARE(dbValue("Routes", m_route2, "DateTime").isNull(), moved);
}

void TestCatalogueWindows::typeDecidesTheRunways_data()
{
    QTest::addColumn<int>("type"); // index in the type list
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("runways");
    // An airport saved as another type loses its runways; saved as an
    // airport it keeps them, and its region is emptied.
    QTest::newRow("to NDB") << 2 << "NDB" << 0;
    QTest::newRow("to intersection") << 0 << "" << 0;
    QTest::newRow("stays an airport") << 1 << "Airport" << 2;
}

void TestCatalogueWindows::typeDecidesTheRunways()
{
    QFETCH(int, type);
    QFETCH(QString, stored);
    QFETCH(int, runways);
    QVERIFY(current(m_uuee));
    openEditor(TF_PPM::Mode::Edit);
    auto *types = child<QComboBox>(m_ppm.get(), "PType");
    types->setCurrentIndex(type);
    child<QPushButton>(m_ppm.get(), "BOK")->click();
    QVERIFY(!m_ppm->isVisible());
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(dbValue("Punkts", m_uuee, "Type").toString(), stored);
    QCOMPARE(m_fix->count("Runways"), runways);
    QCOMPARE(dbValue("Punkts", m_uuee, "Region").isNull(), type == 1);
}

void TestCatalogueWindows::cancelDiscardsPendingChanges()
{
    QVERIFY(current(m_ndb));
    openEditor(TF_PPM::Mode::Edit);
    test::typeText(child<QLineEdit>(m_ppm.get(), "PName"), QStringLiteral("XX"));
    child<ui::CoordinateEdit>(m_ppm.get(), "PLAT")->setFieldText(QStringLiteral("N56*00.00"));
    child<QPushButton>(m_ppm.get(), "BCancel")->click();
    QCOMPARE(m_lists->QPunkts.value(u"Name").toString(), QStringLiteral("Привод"));
    QCOMPARE(m_lists->QPunkts.state(), store::Query::State::Browse);
    QVERIFY(!m_ppm->positionSaved()); // typed and cancelled: nothing stored
    QCOMPARE(dbValue("Punkts", m_ndb, "LAT").toString(), QStringLiteral("N55*00.00"));

    // A new row disappears; closing by the title bar is the same.
    openEditor(TF_PPM::Mode::New);
    QCOMPARE(m_lists->QPunkts.rowCount(), 5);
    m_ppm->close();
    QCOMPARE(m_lists->QPunkts.rowCount(), 4);
    QCOMPARE(m_fix->count("Punkts"), 4);
}

void TestCatalogueWindows::beaconListDropsDownTwentyRows()
{
    for (int i = 0; i < 45; ++i)
        m_fix->addRsbn(QStringLiteral("B%1").arg(i, 2, 10, QChar(u'0')), QStringLiteral("Маяк %1").arg(i),
                       QStringLiteral("N50*00.00"), QStringLiteral("E040*00.00"), QStringLiteral("UW"));
    QVERIFY(current(m_uuee));
    openAirport();
    TF_AP &ap = m_ppm->airportWindow();
    auto *beacons = child<QComboBox>(&ap, "PRSBN");
    QVERIFY(beacons->count() > 40);
    beacons->setFocus();
    QTest::keyClick(beacons, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView *view = beacons->view();
    QTRY_VERIFY(view->isVisible());
    // Rows wholly or partly inside the drop-down, as a person sees them.
    int shown = 0;
    for (int row = 0; row < beacons->count(); ++row)
        if (view->visualRect(view->model()->index(row, 0)).intersects(view->viewport()->rect()))
            ++shown;
    QCOMPARE(shown, 20);
    QVERIFY(view->window()->height() < ap.screen()->availableGeometry().height() / 2);
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view->isVisible());
}

void TestCatalogueWindows::airportWindowFeetAndMetres()
{
    QVERIFY(current(m_uuee));
    openAirport();
    TF_AP &ap = m_ppm->airportWindow();
    QCOMPARE(ap.windowTitle(), QStringLiteral("Аэропорт"));
    auto *feet = child<ui::NumberEdit>(&ap, "PHFt");
    auto *metres = child<ui::NumberEdit>(&ap, "PHMt");
    QCOMPARE(child<QLineEdit>(&ap, "PID")->text(), QStringLiteral("UUEE"));
    QVERIFY(child<QLineEdit>(&ap, "PName")->isReadOnly());
    QCOMPARE(feet->text(), QString());
    QCOMPARE(metres->text(), QString());

    feet->setFocus();
    QTest::keyClicks(feet, QStringLiteral("1001"));
    QCOMPARE(metres->text(), QStringLiteral("305,1"));
    QTest::keyClick(feet, Qt::Key_Period); // whole feet only
    QCOMPARE(feet->text(), QStringLiteral("1001"));

    metres->setFocus();
    metres->selectAll();
    QTest::keyClicks(metres, QStringLiteral("305.1"));
    QCOMPARE(feet->text(), QStringLiteral("1001"));
    QCOMPARE(m_lists->QPunkts.value(u"H").toLongLong(), 1001);
    metres->selectAll();
    QTest::keyClicks(metres, QStringLiteral("0"));
    QCOMPARE(feet->text(), QStringLiteral("0"));
    metres->selectAll();
    QTest::keyClicks(metres, QStringLiteral("10000"));
    QCOMPARE(feet->text(), QStringLiteral("32800")); // the elevation's own limit
    // Clearing the feet clears the metres.
    feet->setFocus();
    feet->selectAll();
    QTest::keyClicks(feet, QStringLiteral("622"));
    QCOMPARE(metres->text(), QStringLiteral("189,6"));
    feet->selectAll();
    QTest::keyClick(feet, Qt::Key_Delete);
    QCOMPARE(metres->text(), QString());
    QVERIFY(m_lists->QPunkts.value(u"H").isNull());

    // Leaving the metres sets the feet even without a change.
    QTest::keyClicks(feet, QStringLiteral("1000"));
    metres->setFocus();
    QCOMPARE(metres->text(), QStringLiteral("304,8"));
    child<QWidget>(&ap, "PFLPer")->setFocus();
    QCOMPARE(feet->text(), QStringLiteral("1000"));
    child<QPushButton>(&ap, "BClose")->click();
    QVERIFY(!ap.isVisible());
    QCOMPARE(dbValue("Punkts", m_uuee, "H").toDouble(), 1000.0);
}

void TestCatalogueWindows::airportWindowRunways()
{
    exec(QStringLiteral("UPDATE Punkts SET RSBN = ? WHERE Code = ?"), {m_beacon, m_uuee});
    QVERIFY(current(m_uuee));
    openAirport();
    TF_AP &ap = m_ppm->airportWindow();
    auto *grid = child<ui::GridView>(&ap, "G1");
    QCOMPARE(headerTitles(grid),
             QStringLiteral("Полоса|ДПРМ|БПРМ|ILS курс|ILS частота|ИЗПУ|РСБН Zm|РСБН Sm"));
    QVERIFY(grid->isVisible());
    QVERIFY(focused(grid));
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->listModel()->cellText(1, 3), QStringLiteral("255"));

    // The beacon list: call sign and name, in region and call-sign order.
    auto *beacon = child<QComboBox>(&ap, "PRSBN");
    QCOMPARE(beacon->currentText(), QStringLiteral("AB (Абакан)"));
    QCOMPARE(beacon->itemText(1), QStringLiteral("AB (Абакан)"));
    QCOMPARE(beacon->itemText(3), QStringLiteral("AA (Анапа)"));
    QCOMPARE(beacon->maxVisibleItems(), 20);

    // "Удалить ВПП": No keeps the runway, Yes deletes it at once.
    m_prompter->answer(false);
    child<QPushButton>(&ap, "BDel")->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Удалить ВПП?"));
    QVERIFY(!m_prompter->messages().last().defaultYes);
    QCOMPARE(m_fix->count("Runways"), 2);
    m_prompter->answer(true);
    child<QPushButton>(&ap, "BDel")->click();
    m_prompter->answer(true);
    child<QPushButton>(&ap, "BDel")->click();
    QCOMPARE(m_fix->count("Runways"), 0);
    // No runways: the label shows, editing and deleting are off.
    QVERIFY(!grid->isVisible());
    QVERIFY(child<QLabel>(&ap, "LNoRunways")->isVisible());
    QCOMPARE(child<QLabel>(&ap, "LNoRunways")->text(), QStringLiteral("Для этого аэропорта не указаны ВПП"));
    QVERIFY(!child<QPushButton>(&ap, "BEdit")->isEnabled());
    QVERIFY(!child<QPushButton>(&ap, "BDel")->isEnabled());

    // Adding the first runway shows the grid again.
    whenOpen(&ap.runwayDialog(), [&] {
        TF_VPP &vpp = ap.runwayDialog();
        QCOMPARE(vpp.windowTitle(), QStringLiteral("Добавить полосу"));
        QVERIFY(focused(child<QWidget>(&vpp, "PRunway")));
        test::typeText(child<QLineEdit>(&vpp, "PRunway"), QStringLiteral("07l"));
        child<QPushButton>(&vpp, "BOK")->click();
    });
    child<QPushButton>(&ap, "BAdd")->click();
    QVERIFY(grid->isVisible());
    QVERIFY(child<QPushButton>(&ap, "BEdit")->isEnabled());
    QCOMPARE(grid->listModel()->cellText(0, 0), QStringLiteral("07L"));

    // Typing in the beacon list opens it.
    beacon->setFocus();
    QTest::keyClick(beacon, Qt::Key_A);
    QTRY_VERIFY(beacon->view()->isVisible());
    beacon->hidePopup();

    // No beacon chosen: the airport's RSBN becomes Null on closing.
    beacon->setFocus();
    QTest::keyClick(beacon, Qt::Key_Delete);
    QCOMPARE(beacon->currentText(), QString());
    ap.close(); // by the title bar: stores as "Закрыть" does
    QVERIFY(!ap.isVisible());
    QVERIFY(dbValue("Punkts", m_uuee, "RSBN").isNull());
    QCOMPARE(m_fix->count("Runways"), 1);
    QVERIFY(!m_lists->QRSBN.isOpen());
    QVERIFY(!ap.runways().isOpen());
    QCOMPARE(m_prompter->messages().size(), 3); // the three questions
}

void TestCatalogueWindows::runwayDialogNumbers()
{
    QVERIFY(current(m_uuee));
    openAirport();
    TF_AP &ap = m_ppm->airportWindow();
    whenOpen(&ap.runwayDialog(), [&] {
        TF_VPP &vpp = ap.runwayDialog();
        QCOMPARE(vpp.windowTitle(), QStringLiteral("Свойства полосы"));
        QWidget *field = child<QWidget>(&vpp, "PRunway");
        // Enter walks every field to the button; the numbers are taken on the way.
        const QList<QPair<const char *, QString>> typed{{"PDPRM", "310"},   {"PBPRM", "770,5"},
                                                        {"PILSA", "0"},     {"PILSF", "110,3"},
                                                        {"PUk", "0"},       {"PZm", "12.34"},
                                                        {"PSm", "250000"}};
        for (const auto &[name, text] : typed) {
            enter(field);
            field = child<QWidget>(&vpp, name);
            QVERIFY(focused(field));
            auto *edit = static_cast<QLineEdit *>(field);
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
        enter(field);
        QVERIFY(focused(child<QWidget>(&vpp, "BOK")));
        QCOMPARE(child<QLineEdit>(&vpp, "PILSA")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLineEdit>(&vpp, "PUk")->text(), QStringLiteral("0,1"));
        QCOMPARE(child<QLineEdit>(&vpp, "PZm")->text(), QStringLiteral("12,3"));
        QCOMPARE(child<QLineEdit>(&vpp, "PSm")->text(), QStringLiteral("100000,0"));
        child<QPushButton>(&vpp, "BOK")->click();
    });
    child<QPushButton>(&ap, "BEdit")->click();
    const qint64 runway = ap.runways().value(u"Code").toLongLong();
    QCOMPARE(dbValue("Runways", runway, "Runway").toString(), QStringLiteral("06C"));
    QCOMPARE(dbValue("Runways", runway, "DPRM").toDouble(), 310.0);
    QCOMPARE(dbValue("Runways", runway, "BPRM").toDouble(), 770.5);
    QCOMPARE(dbValue("Runways", runway, "ILSAngle").toInt(), 1);
    QCOMPARE(dbValue("Runways", runway, "ILSFreq").toDouble(), 110.3);
    QCOMPARE(dbValue("Runways", runway, "IZPU_P").toDouble(), 0.1);
    QCOMPARE(dbValue("Runways", runway, "Zm_P").toDouble(), 12.3);
    QCOMPARE(dbValue("Runways", runway, "Sm_P").toDouble(), 100000.0);

    // The ILS course 361 becomes 360; "Отмена" keeps what was stored.
    whenOpen(&ap.runwayDialog(), [&] {
        TF_VPP &vpp = ap.runwayDialog();
        auto *ils = child<QLineEdit>(&vpp, "PILSA");
        ils->setFocus();
        ils->selectAll();
        QTest::keyClicks(ils, QStringLiteral("361"));
        enter(ils);
        QCOMPARE(ils->text(), QStringLiteral("360"));
        child<QPushButton>(&vpp, "BOK")->click();
    });
    child<QPushButton>(&ap, "BEdit")->click();
    QCOMPARE(dbValue("Runways", runway, "ILSAngle").toInt(), 360);
    whenOpen(&ap.runwayDialog(), [&] {
        TF_VPP &vpp = ap.runwayDialog();
        test::typeText(child<QLineEdit>(&vpp, "PRunway"), QStringLiteral("X"));
        child<QPushButton>(&vpp, "BCancel")->click();
    });
    child<QPushButton>(&ap, "BEdit")->click();
    QCOMPARE(ap.runways().value(u"Runway").toString(), QStringLiteral("06C"));
    // A new runway cancelled disappears.
    whenOpen(&ap.runwayDialog(), [&] { ap.runwayDialog().close(); });
    child<QPushButton>(&ap, "BAdd")->click();
    QCOMPARE(ap.runways().rowCount(), 2);
    child<QPushButton>(&ap, "BClose")->click();
    QCOMPARE(m_fix->count("Runways"), 2);
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestCatalogueWindows::airportFromTheEditorSharesTheRow()
{
    QVERIFY(current(m_uuee));
    openEditor(TF_PPM::Mode::Edit);
    test::typeText(child<QLineEdit>(m_ppm.get(), "PName"), QStringLiteral(" (Москва)"));
    whenOpen(&m_ppm->airportWindow(), [&] {
        TF_AP &ap = m_ppm->airportWindow();
        QVERIFY(ap.isVisible());
        QCOMPARE(child<QLineEdit>(&ap, "PName")->text(), QStringLiteral("Шереметьево (Москва)"));
        test::typeText(child<QLineEdit>(&ap, "PHFt"), QStringLiteral("622"));
        test::typeText(child<QLineEdit>(&ap, "PATIS"), QStringLiteral("122,07"));
        child<QPushButton>(&ap, "BClose")->click();
    });
    child<QPushButton>(m_ppm.get(), "BAP")->click();
    // Stored by the airport window: its own columns only.
    QCOMPARE(dbValue("Punkts", m_uuee, "H").toDouble(), 622.0);
    QCOMPARE(dbValue("Punkts", m_uuee, "ATIS").toDouble(), 122.07);
    QCOMPARE(dbValue("Punkts", m_uuee, "Name").toString(), QStringLiteral("Шереметьево"));
    QCOMPARE(child<QLineEdit>(m_ppm.get(), "PName")->text(), QStringLiteral("Шереметьево (Москва)"));

    // "Сохранить" still stores the editor's entries, type, position and variation.
    child<ui::CoordinateEdit>(m_ppm.get(), "PLAT")->setFieldText(QStringLiteral("N55*58.40"));
    child<QPushButton>(m_ppm.get(), "BOK")->click();
    QVERIFY(!m_ppm->isVisible());
    QCOMPARE(dbValue("Punkts", m_uuee, "Name").toString(), QStringLiteral("Шереметьево (Москва)"));
    QCOMPARE(dbValue("Punkts", m_uuee, "LAT").toString(), QStringLiteral("N55*58.40"));
    QCOMPARE(dbValue("Punkts", m_uuee, "MS").toDouble(), test::TestFolder::variationAt(56, 37));
    QCOMPARE(dbValue("Punkts", m_uuee, "H").toDouble(), 622.0);
    QVERIFY(dbValue("Routes", m_route1, "DateTime").isNull());

    // "Отмена" after the airport window: the airport's data stays, the
    // editor's own entries go.
    QVERIFY(current(m_uuee));
    openEditor(TF_PPM::Mode::Edit);
    test::typeText(child<QLineEdit>(m_ppm.get(), "PName"), QStringLiteral("!"));
    whenOpen(&m_ppm->airportWindow(), [&] {
        TF_AP &ap = m_ppm->airportWindow();
        auto *feet = child<QLineEdit>(&ap, "PHFt");
        feet->selectAll();
        test::typeText(feet, QStringLiteral("700"));
        ap.close();
    });
    child<QPushButton>(m_ppm.get(), "BAP")->click();
    child<QPushButton>(m_ppm.get(), "BCancel")->click();
    QCOMPARE(dbValue("Punkts", m_uuee, "H").toDouble(), 700.0);
    QCOMPARE(dbValue("Punkts", m_uuee, "Name").toString(), QStringLiteral("Шереметьево (Москва)"));
    QCOMPARE(m_lists->QPunkts.value(u"H").toDouble(), 700.0);
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestCatalogueWindows::beaconCatalogue()
{
    m_rsbn->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_rsbn.get()));
    QCOMPARE(m_rsbn->windowTitle(), QStringLiteral("Маяки РСБН"));
    auto *grid = child<ui::GridView>(m_rsbn.get(), "G1");
    QCOMPARE(headerTitles(grid), QStringLiteral("Регион|Маяк|Наименование|Шм|Дм|Частота"));
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0x80));
    ui::ListModel *model = grid->listModel();
    // By region, then call sign: UN AB, UN AC, UR AA, UU ZB.
    QCOMPARE(model->cellText(0, 1), QStringLiteral("AB"));
    QCOMPARE(model->cellText(2, 1), QStringLiteral("AA"));
    QCOMPARE(model->cellText(0, 5), QStringLiteral("116,00"));
    QCOMPARE(grid->cellStyler()(0, 0, false, true).background, QColor(0xFF, 0xFB, 0xF0));
    QCOMPARE(grid->cellStyler()(1, 0, false, true).background, QColor(Qt::white));
    QCOMPARE(grid->cellStyler()(1, 0, true, false).background, QColor(0, 0, 0x66));
    QCOMPARE(grid->cellStyler()(1, 0, true, false).text, QColor(Qt::white));
    QVERIFY(focused(grid));

    store::Query &list = m_lists->QRSBN;
    // The catalogue offers nothing that changes a beacon.
    QCOMPARE(m_rsbn->findChildren<QPushButton *>().size(), 1);
    // And painted so: the rows' alternating grounds, the current row (ZB) dark.
    QVERIFY(list.last());
    QCOMPARE(list.rowNumber(), 4);
    const QImage image = grid->viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(test::paintedCell(grid, 0, 0).topLeft()), QColor(0xFF, 0xFB, 0xF0));
    QCOMPARE(image.pixelColor(test::paintedCell(grid, 1, 0).topLeft()), QColor(Qt::white));
    QCOMPARE(image.pixelColor(test::paintedCell(grid, 2, 0).topLeft()), QColor(0xFF, 0xFB, 0xF0));
    QCOMPARE(image.pixelColor(test::paintedCell(grid, 3, 0).topLeft()),
             grid->cellStyler()(3, 0, true, grid->hasFocus()).background);
    QVERIFY(test::pixelsOf(image, test::paintedCell(grid, 3, 1), QColor(Qt::white)) > 0); // "ZB" in white
    child<QPushButton>(m_rsbn.get(), "BClose")->click();
    QVERIFY(!list.isOpen());
}

void TestCatalogueWindows::beaconSearchOnEnter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found"); // the call sign current afterwards
    QTest::addColumn<bool>("selected"); // nothing found: the text selected, the row kept
    QTest::newRow("the first in list order") << "a" << "AB" << false;
    QTest::newRow("a whole call sign") << "z" << "ZB" << false;
    QTest::newRow("none begins so") << "ZX" << "AC" << true;
}

void TestCatalogueWindows::beaconSearchOnEnter()
{
    QFETCH(QString, typed);
    QFETCH(QString, found);
    QFETCH(bool, selected);
    m_rsbn->show();
    QVERIFY(QTest::qWaitForWindowActive(m_rsbn.get()));
    store::Query &list = m_lists->QRSBN;
    QVERIFY(list.setRowNumber(2)); // AC
    auto *search = child<QLineEdit>(m_rsbn.get(), "PID");
    search->setFocus();
    QTest::keyClicks(search, typed);
    QCOMPARE(list.value(u"ID").toString(), QStringLiteral("AC")); // found only on Enter
    enter(search);
    QCOMPARE(list.value(u"ID").toString(), found);
    QCOMPARE(focused(child<ui::GridView>(m_rsbn.get(), "G1")), !selected);
    QCOMPARE(search->selectedText(), selected ? search->text() : QString());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestCatalogueWindows::tabFollowsTheLayout_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("walk");
    // The catalogues: the list, its searches, its buttons, "Закрыть".
    QTest::newRow("Пункты") << "TF_Punkts" << "G1"
                            << QStringList{"PID", "PName", "BNew", "BEdit", "BDel", "BClose", "G1"};
    QTest::newRow("Маяки РСБН") << "TF_RSBN" << "G1" << QStringList{"PID", "BClose", "G1"};
    // The waypoint editor row by row; "Аэропорт" only for an airport.
    QTest::newRow("waypoint") << "TF_PPM NDB" << "PType"
                              << QStringList{"PRegion", "PID", "PName", "PLAT", "PLON", "PFreq", "BOK", "BCancel", "PType"};
    QTest::newRow("airport waypoint") << "TF_PPM Airport" << "PType"
                                      << QStringList{"PID", "PName", "PLAT", "PLON", "PFreq", "BAP", "BOK", "BCancel", "PType"};
    // The airport window: its own fields (ident and name passed by), the
    // runways with their buttons, "Закрыть".
    QTest::newRow("airport") << "TF_AP" << "PHFt"
                             << QStringList{"PHMt", "PFLPer", "PHPer", "PATIS", "PRSBN", "G1", "BAdd", "BEdit", "BDel",
                                            "BClose", "PHFt"};
    // The runway dialog: the runway itself is passed by.
    QTest::newRow("runway") << "TF_VPP" << "PDPRM"
                            << QStringList{"PBPRM", "PILSA", "PILSF", "PUk", "PZm", "PSm", "BOK", "BCancel", "PDPRM"};
}

void TestCatalogueWindows::tabFollowsTheLayout()
{
    QFETCH(QString, window);
    QFETCH(QString, start);
    QFETCH(QStringList, walk);
    QWidget *shown = nullptr;
    if (window == u"TF_Punkts" || window == u"TF_RSBN") {
        shown = window == u"TF_Punkts" ? static_cast<QWidget *>(m_punkts.get()) : m_rsbn.get();
        shown->show();
        QVERIFY(QTest::qWaitForWindowActive(shown));
    } else {
        QVERIFY(current(window == u"TF_PPM NDB" ? m_ndb : m_uuee));
        openEditor(TF_PPM::Mode::Edit);
        shown = m_ppm.get();
        if (window == u"TF_AP" || window == u"TF_VPP") {
            openAirport();
            shown = &m_ppm->airportWindow();
        }
        if (window == u"TF_VPP") {
            shown = shown->findChild<TF_VPP *>();
            shown->show();
        }
        shown->activateWindow(); // the offscreen platform activates windows late
        QTRY_VERIFY(shown->isActiveWindow());
        if (start != u"PType")
            child<QWidget>(shown, qPrintable(start))->setFocus();
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), start);
    QCOMPARE(test::tabWalk(static_cast<int>(walk.size())), walk);
}

void TestCatalogueWindows::windowsGrowAndComeBackSo_data()
{
    QTest::addColumn<bool>("waypoints");
    QTest::addColumn<QSize>("opening");
    QTest::addColumn<QString>("prefix"); // of its keys in kalyx.ini
    QTest::newRow("Пункты") << true << QSize(800, 520) << "Punkts";
    QTest::newRow("Маяки РСБН") << false << QSize(640, 460) << "RSBN";
}

void TestCatalogueWindows::windowsGrowAndComeBackSo()
{
    QFETCH(bool, waypoints);
    QFETCH(QSize, opening);
    QFETCH(QString, prefix);
    const auto window = [&]() -> QDialog * {
        return waypoints ? static_cast<QDialog *>(m_punkts.get()) : static_cast<QDialog *>(m_rsbn.get());
    };
    window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QCOMPARE(window()->size(), opening);
    QVERIFY(window()->windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(window()->maximumWidth() > 2000);
    auto *grid = child<ui::GridView>(window(), "G1");
    auto *close = child<QPushButton>(window(), "BClose");
    const int nameWidth = grid->columnWidth(2);
    const QSize gridSize = grid->size();
    const QPoint closeFromCorner = QPoint(window()->width(), window()->height()) - close->geometry().topLeft();

    // Made larger, the grid takes the room and the name the width; "Закрыть"
    // keeps its place from the bottom right. (As large as the screen lets a
    // window come back: the test's screen may be small.)
    const QSize larger =
        (opening + QSize(200, 100)).boundedTo(window()->screen()->availableGeometry().size() - QSize(8, 40));
    window()->resize(larger);
    const QSize left = window()->size(); // never below the opening size
    QVERIFY(left.height() > opening.height());
    const QSize grown = left - opening;
    QTRY_COMPARE(grid->size(), gridSize + grown);
    QTRY_COMPARE(grid->columnWidth(2), nameWidth + grown.width());
    QCOMPARE(QPoint(window()->width(), window()->height()) - close->geometry().topLeft(), closeFromCorner);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!window()->isVisible());
    const QString ini = m_folder->readIni();
    QVERIFY2(ini.contains(QStringLiteral("\r\n%1Width=%2\r\n").arg(prefix).arg(left.width()))
                 && ini.contains(QStringLiteral("\r\n%1Height=%2\r\n").arg(prefix).arg(left.height())),
             qPrintable(ini));

    // The program started again: the window opens as it was left, placed
    // before it is shown (a window moved once the window system has mapped it
    // has no frame yet, and an X11 window manager puts it a title bar higher).
    m_rsbn = std::make_unique<TF_RSBN>(*m_session, *m_lists);
    m_punkts = std::make_unique<TF_Punkts>(*m_session, *m_lists, *m_ppm);
    SizeAtShow atShow;
    window()->installEventFilter(&atShow);
    window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QCOMPARE(atShow.size, left);
    QCOMPARE(window()->size(), left);
    window()->reject();
}

QTEST_MAIN(TestCatalogueWindows)
#include "tst_cataloguewindows.moc"

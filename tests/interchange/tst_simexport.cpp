#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Settings.h"
#include "calc/CalculateRoute.h"
#include "interchange/ImportPln.h"
#include "interchange/SimExport.h"
#include "interchange/SimSettings.h"
#include "store/Session.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::interchange;

// The exports for X-Plane and FlightGear on a route the program imported and
// calculated: what goes into each file, what they refuse, and where they go.
class TestSimExport : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void demoRouteGoesOutInEveryFormat();
    void plansOfOtherSimulatorsImport();
    void brokenPlansImportNothing_data();
    void brokenPlansImportNothing();
    void refusalsLeaveTheOldFile_data();
    void refusalsLeaveTheOldFile();
    void foldersAreRememberedInTheirOwnSection();
    void proposedFoldersWhateverTheirCase();

private:
    void writeFile(const QString &path, const QByteArray &bytes);
    QByteArray readBytes(const QString &path) const;

    qint64 m_route = 0;
    QObject m_owner;
};

namespace {

const QString kSample = QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN");

} // namespace

void TestSimExport::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
    m_owner.setObjectName("TF_Points");
    QVERIFY(m_session->openRoutes());
    m_route = ImportPLN(*m_session, kSample, &m_owner);
    QVERIFY(m_route > 0);
    QVERIFY(calc::CalculateRoute(*m_session, m_route, nullptr, &m_owner));
    QVERIFY(m_session->reopenRoutesAt(m_route));
    m_prompter->clear();
}

void TestSimExport::cleanup() { closeSession(); }

void TestSimExport::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray TestSimExport::readBytes(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSimExport::demoRouteGoesOutInEveryFormat()
{
    const QString fms = m_folder->file("UUEE-URSS.fms");
    const QString fg = m_folder->file("UUEE-URSS.xml");
    const QString pa3 = m_folder->file("fpln.json");
    // A type another tool wrote in its own letter case is the same type.
    QVERIFY(m_fix->exec("UPDATE Punkts SET Type = 'ndb' WHERE ID = 'DE'"));
    QVERIFY(exportForSimulator(*m_session, SimFormat::XPlaneFms, fms, &m_owner, QDate(2026, 4, 16)));
    QVERIFY(exportForSimulator(*m_session, SimFormat::FlightGear, fg, &m_owner));
    QVERIFY(exportForSimulator(*m_session, SimFormat::Pa3, pa3, &m_owner));
    const QString done = "Экспорт произведен успешно\r\n";
    QCOMPARE(m_prompter->texts(),
             QStringList({done + QDir::toNativeSeparators(fms), done + QDir::toNativeSeparators(fg),
                          done + QDir::toNativeSeparators(pa3)}));
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Info);
    QVERIFY(readBytes(fms).startsWith("I\n1100 Version\nCYCLE 2604\nADEP UUEE\nADES URSS\nNUMENR 6\n"
                                      "1 UUEE ADEP 622.000000 55.972667 37.414667\n"
                                      "2 DE DRCT 0.000000 55.366667 37.978333\n"));

    // Both plans import again as the same points: the catalogue's own
    // waypoints, none added, through the import of every flight plan.
    const QList<qint64> points = m_fix->punktsOf(m_route);
    QCOMPARE(points.size(), 6);
    const qint64 catalogue = m_fix->count("Punkts");
    m_prompter->clear();
    for (const QString &plan : {fms, fg}) {
        const qint64 imported = ImportPLN(*m_session, plan, &m_owner);
        QVERIFY2(imported > 0, qPrintable(m_prompter->lastText()));
        QCOMPARE(m_fix->punktsOf(imported), points);
        QCOMPARE(m_fix->count("Punkts"), catalogue);
        QCOMPARE(m_fix->value("Routes", imported, "Name").toString(), QString("UUEE-URSS"));
        QCOMPARE(m_fix->value("Routes", imported, "AP_V").toString() + u'-'
                     + m_fix->value("Routes", imported, "AP_P").toString(),
                 QString("UUEE-URSS"));
        QVERIFY(m_fix->value("Routes", imported, "DateTime").isNull());
    }
    QVERIFY(m_prompter->messages().isEmpty());

    // The tablet's legs are the NVU's: the length and the course of each
    // calculated leg, rounded to a tenth.
    QSqlQuery legs(m_session->ADOC.sql());
    legs.prepare("SELECT Punkts.ID, Points.S, Points.OZMPU_V FROM Points JOIN Punkts ON Points.Punkt = Punkts.Code "
                 "WHERE Points.Route = ? ORDER BY Points.Number");
    legs.addBindValue(m_route);
    QVERIFY(legs.exec());
    QStringList ids;
    QList<double> lengths;
    QList<double> courses;
    while (legs.next()) {
        ids << legs.value(0).toString();
        lengths << legs.value(1).toDouble();
        courses << legs.value(2).toDouble();
    }
    QStringList expected;
    for (int i = 0; i + 1 < ids.size(); ++i) {
        // The demo route's courses need no turn of the dial.
        QVERIFY(lengths.at(i) < 0 && courses.at(i) > 0 && courses.at(i) <= 360);
        expected
            << QStringLiteral("%1-%2 %3 0 %4").arg(ids.at(i), ids.at(i + 1)).arg(-lengths.at(i)).arg(courses.at(i));
    }
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(readBytes(pa3), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json.value("Name").toString(), QString("UUEE-URSS"));
    QCOMPARE(json.value("ShortDesc").toString(), QString("UUEE-URSS"));
    QStringList written;
    for (const QJsonValue &leg : json.value("Legs").toArray()) {
        const QJsonObject o = leg.toObject();
        written << QStringLiteral("%1 %2 %3 %4")
                       .arg(o.value("NAME").toString())
                       .arg(o.value("S").toDouble())
                       .arg(o.value("Z").toDouble())
                       .arg(o.value("DTK").toDouble());
    }
    QCOMPARE(written.size(), 5);
    QCOMPARE(written.first().left(8), QString("UUEE-DE "));
    QCOMPARE(written, expected);
}

// Plans made elsewhere: their points are the catalogue's where it has them
// (an airport by its ident; a waypoint of a type the plan does not tell by
// its ident and place, whatever its region), new waypoints without region
// otherwise, with the simulator's variation.
void TestSimExport::plansOfOtherSimulatorsImport()
{
    const QList<qint64> demo = m_fix->punktsOf(m_route); // UUEE DE SB RW ADL URSS
    const QString fms = m_folder->file("X-Plane.fms");
    writeFile(fms, "I\n1100 Version\nCYCLE 2604\nADEP UUEE\nADES URSS\nNUMENR 5\n"
                   "1 UUEE ADEP 622.000000 55.972778 37.414722\n"
                   "11 DE DRCT 35000.000000 55.6 37.9\n"
                   "3 ADL DRCT 35000.000000 43.4 39.9\n"
                   "28 +43.500_+039.900 DRCT 0.000000 43.5 39.9\n"
                   "1 URSS ADES 89.000000 43.449722 39.941111\n");
    const qint64 catalogue = m_fix->count("Punkts");
    const qint64 route = ImportPLN(*m_session, fms, &m_owner);
    QVERIFY2(route > 0, qPrintable(m_prompter->lastText()));
    QCOMPARE(m_fix->sequence(route), QStringList({"1 UUEE", "2 DE", "3 ADL", "4 +43.500_+039.900", "5 URSS"}));
    const QList<qint64> points = m_fix->punktsOf(route);
    QCOMPARE(points.first(), demo.first());
    QCOMPARE(points.last(), demo.last());
    // The fix DE is not the NDB DE, and this ADL lies 2 km from the
    // catalogue's: three new waypoints, none with a region.
    QCOMPARE(m_fix->count("Punkts"), catalogue + 3);
    const auto row = [&](int index) {
        QStringList values;
        for (const char *column : {"ID", "Type", "Region", "LAT", "LON", "H"})
            values << m_fix->value("Punkts", points.at(index), column).toString();
        return values.join(u' ');
    };
    QCOMPARE(row(1), QString("DE   N55*36.00 E037*54.00 0"));
    QCOMPARE(row(2), QString("ADL VOR  N43*24.00 E039*54.00 0"));
    QCOMPARE(row(3), QString("+43.500_+039.900   N43*30.00 E039*54.00 0"));
    QVERIFY(!m_fix->value("Punkts", points.at(2), "MS").isNull());
    QCOMPARE(m_fix->value("Routes", route, "FL").toInt(), 10668); // 35000 ft

    // FlightGear says "navaid" and no more: the catalogue's NDB at that place.
    const QString xml = m_folder->file("FlightGear.xml");
    writeFile(xml, "<?xml version=\"1.0\"?><PropertyList><version type=\"int\">2</version>"
                   "<departure><airport>UUEE</airport></departure><destination><airport>URSS</airport></destination>"
                   "<route><wp><type>navaid</type><ident>UUEE</ident><lat>55.97</lat><lon>37.41</lon></wp>"
                   "<wp n=\"1\"><type>navaid</type><ident>DE</ident><lat>55.366667</lat><lon>37.978333</lon></wp>"
                   "<wp n=\"2\"><type>navaid</type><ident>URSS</ident><lat>43.45</lat><lon>39.95</lon></wp>"
                   "</route></PropertyList>");
    const qint64 flightGear = ImportPLN(*m_session, xml, &m_owner);
    QVERIFY2(flightGear > 0, qPrintable(m_prompter->lastText()));
    QCOMPARE(m_fix->punktsOf(flightGear), QList<qint64>({demo.at(0), demo.at(1), demo.at(5)}));
    QCOMPARE(m_fix->count("Punkts"), catalogue + 3);
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestSimExport::brokenPlansImportNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("X-Plane plan cut short")
        << QByteArray("I\n1100 Version\nCYCLE 2604\nADEP UUEE\nADES URSS\nNUMENR 3\n"
                      "1 UUEE ADEP 622.000000 55.972778 37.414722\n11 DE DRCT 0 55.6 37.9\n")
        << "Ошибка чтения файла broken.plan !\r\nNUMENR обещает 3 ППМ, а в файле 2.";
    QTest::newRow("FlightGear route with a waypoint off the globe")
        << QByteArray("<PropertyList><version>2</version><route><wp><ident>A</ident><lat>55</lat><lon>37</lon></wp>"
                      "<wp><ident>B</ident><lat>55</lat><lon>-190</lon></wp></route></PropertyList>")
        << "Неверная долгота \"-190\" в wp 2 (B) файла broken.plan";
}

void TestSimExport::brokenPlansImportNothing()
{
    QFETCH(QByteArray, file);
    const QString path = m_folder->file("broken.plan");
    writeFile(path, file);
    const qint64 routes = m_fix->count("Routes");
    const qint64 catalogue = m_fix->count("Punkts");
    QCOMPARE(ImportPLN(*m_session, path, &m_owner), 0);
    QTEST(m_prompter->lastText(), "message");
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_fix->count("Routes"), routes);
    QCOMPARE(m_fix->count("Punkts"), catalogue);
}

void TestSimExport::refusalsLeaveTheOldFile_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");

    const QString wrote = "Ошибка записи в файл!\r\n%path\r\n";
    QTest::newRow("route not calculated") << "UPDATE Routes SET DateTime = NULL"
                                          << "plan"
                                          << "Маршрут не расчитан!";
    QTest::newRow("a leg without its course") << "UPDATE Points SET OZMPU_V = NULL WHERE Number = 3"
                                              << "plan" << wrote + "Участок 3 (SB-RW) не рассчитан: нет длины или ЗПУ.";
    QTest::newRow("a waypoint without a position") << "UPDATE Punkts SET LAT = 'north' WHERE ID = 'RW'"
                                                   << "plan" << wrote + "У ППМ 4 (RW) нет координат.";
    QTest::newRow("a latitude beyond the pole") << "UPDATE Punkts SET LAT = 'N95*00.00' WHERE ID = 'RW'"
                                                << "plan" << wrote + "У ППМ 4 (RW) нет координат.";
    QTest::newRow("a route of one point") << "DELETE FROM Points WHERE Number > 1"
                                          << "plan" << wrote + "В маршруте меньше двух ППМ.";
    QTest::newRow("folder missing") << ""
                                    << "missing/plan" << wrote + "Папка не найдена.";
    QTest::newRow("a folder where the file goes") << ""
                                                  << "folder" << wrote + "Это папка, а не файл.";
}

void TestSimExport::refusalsLeaveTheOldFile()
{
    QFETCH(QString, change);
    QFETCH(QString, target);
    QFETCH(QString, message);
    if (!change.isEmpty())
        QVERIFY(m_fix->exec(change));
    QVERIFY(m_session->reopenRoutesAt(m_route));
    const bool old = target == u"plan";
    for (const SimFormat format : {SimFormat::XPlaneFms, SimFormat::FlightGear, SimFormat::Pa3}) {
        const QString path = m_folder->file(target + u'.' + simSuffix(format));
        if (target == u"folder")
            QVERIFY(QDir().mkpath(path));
        if (old) {
            QFile previous(path);
            QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("the pilot's old plan") > 0);
        }
        m_prompter->clear();
        QVERIFY(!exportForSimulator(*m_session, format, path, &m_owner));
        QCOMPARE(m_prompter->texts(), QStringList(QString(message).replace("%path", QDir::toNativeSeparators(path))));
        QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
        if (old)
            QCOMPARE(readBytes(path), QByteArray("the pilot's old plan"));
    }
    // Nothing half-written is left beside them.
    QCOMPARE(QDir(m_folder->path()).entryList({"*.fms*", "*.xml*", "*.json*"}, QDir::Files | QDir::Hidden).size(),
             old ? 3 : 0);
}

void TestSimExport::foldersAreRememberedInTheirOwnSection()
{
    const QString ini = m_folder->file("kalyx.ini");
    QVERIFY(m_folder->writeIni("[SETUP]\r\nFSPath=C:\\FS9\\\r\nPLNPath=\r\nL_RSBN=250\r\n[MAP]\r\nZoom=2\r\n"));
    QCOMPARE(readSimSettings(ini).xplaneAircraft, QString());

    SimSettings folders{"D:\\X-Plane 12\\Aircraft\\Tu-154B2\\", "/home/pilot/Маршруты"};
    QVERIFY(writeSimSettings(ini, folders));
    QCOMPARE(m_folder->readIni(), QString("[SETUP]\r\nFSPath=C:\\FS9\\\r\nPLNPath=\r\nL_RSBN=250\r\n[MAP]\r\nZoom=2\r\n"
                                          "[SIMULATORS]\r\nXPlaneAircraft=D:\\X-Plane 12\\Aircraft\\Tu-154B2\\\r\n"
                                          "FlightGearRoutes=/home/pilot/Маршруты\r\n"));
    QCOMPARE(readSimSettings(ini).flightGearRoutes, folders.flightGearRoutes);

    // The program's own settings, written at its end, keep the section.
    SettingsFile programSettings(ini);
    Settings settings = programSettings.read();
    settings.rsbnRange = 300;
    QVERIFY(programSettings.write(settings));
    QCOMPARE(readSimSettings(ini).xplaneAircraft, folders.xplaneAircraft);

    // A folder windows-1251 cannot spell would come back as another one; a
    // kalyx.ini saved as UTF-8 keeps it.
    const QString japanese = "/home/pilot/日本/Tu-154B2";
    QVERIFY(writeSimSettings(ini, {japanese, folders.flightGearRoutes}));
    QCOMPARE(readSimSettings(ini).xplaneAircraft, folders.xplaneAircraft);
    QFile utf8(ini);
    QVERIFY(utf8.open(QIODevice::WriteOnly) && utf8.write("\xEF\xBB\xBF[SETUP]\r\nL_RSBN=250\r\n") > 0);
    utf8.close();
    QVERIFY(writeSimSettings(ini, {japanese, folders.flightGearRoutes}));
    QCOMPARE(readSimSettings(ini).xplaneAircraft, japanese);
}

void TestSimExport::proposedFoldersWhateverTheirCase()
{
    const QString root = m_folder->file("X-Plane 12/");
    QVERIFY(QDir().mkpath(root + "output/FMS Plans"));
    QVERIFY(QDir().mkpath(root + "Aircraft/Extra/Tu-154B2/PA3/Gen_Plans"));
    QVERIFY(QDir().mkpath(m_folder->file("FlightGear routes")));
    const QString sep = QDir::separator();

    const SimSettings known{root + "Aircraft/Extra/Tu-154B2", m_folder->file("FlightGear routes")};
    // Windows finds a folder whatever the case it is named in.
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif
    const auto proposes = [&](SimFormat format, const QString &folder) {
        const QString proposed = proposedSimFolder(known, format);
        const QString expected = QDir::toNativeSeparators(folder) + sep;
        if (proposed.compare(expected, pathCase) != 0)
            qWarning("%s instead of %s", qPrintable(proposed), qPrintable(expected));
        return proposed.compare(expected, pathCase) == 0;
    };
    QVERIFY(proposes(SimFormat::Pa3, root + "Aircraft/Extra/Tu-154B2/PA3/Gen_Plans"));
    QVERIFY(proposes(SimFormat::XPlaneFms, root + "output/FMS Plans"));
    QVERIFY(proposes(SimFormat::FlightGear, m_folder->file("FlightGear routes")));

    const SimSettings unknown{m_folder->file("no such aircraft"), QString()};
    for (const SimFormat format : {SimFormat::Pa3, SimFormat::XPlaneFms, SimFormat::FlightGear})
        QCOMPARE(proposedSimFolder(unknown, format), QString());

    QCOMPARE(proposedSimFileName(currentAirportPair(*m_session), SimFormat::Pa3), QString("UUEE-URSS.json"));
    QCOMPARE(proposedSimFileName("UU/EE-UR:SS", SimFormat::XPlaneFms), QString("UU_EE-UR_SS.fms"));
    QVERIFY(m_fix->exec("UPDATE Routes SET AP_P = NULL, Name = 'На юг'"));
    QVERIFY(m_session->reopenRoutesAt(m_route));
    QCOMPARE(currentAirportPair(*m_session), QString("На юг"));
}

QTEST_GUILESS_MAIN(TestSimExport)
#include "tst_simexport.moc"

// The waypoint catalogue on 250,000 waypoints: opening its window, its
// searches by ident and by a word of the name, the waypoint picker opening on a
// route point's waypoint, and the peak memory of a program that has the
// catalogue open (measured in a child process of its own, so that the other
// figures' data do not count). Each time is printed with its floor: the same
// reads by SQLite alone (Floor.h).
#include "Bench.h"
#include "Floor.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/U_PPM.h"
#include "catalogues/U_Punkts.h"
#include "editor/U_PPMSel.h"
#include "store/Schema.h"
#include "store/Session.h"
#include "store/TextKey.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <vector>

namespace kx::bench {
namespace {

constexpr char kChildFolder[] = "KX_BENCH_CATALOGUE_FOLDER";
const QString kOpen = QStringLiteral("catalogue_open_250k_ms");
const QString kSearch = QStringLiteral("catalogue_search_ms");
const QString kSearchName = QStringLiteral("catalogue_search_name_ms");
const QString kPicker = QStringLiteral("picker_open_250k_ms");
const QString kPeak = QStringLiteral("catalogue_peak_rss_mb");
const QString kPeakFloor = QStringLiteral("catalogue_peak_rss_floor_mb");

// The rows a list reads at a time, and before a row it moves to (store::Query).
constexpr int kPage = 64;
constexpr int kBefore = kPage / 2;

// The program's side of the catalogue: its session with the route list open,
// the shared lists, the two windows and the waypoint picker, as the main
// window holds them.
struct Program
{
    explicit Program(const QString &folder, SilentPrompter &prompter)
        : session(folder, prompter)
        , lists(session.ADOC)
        , editor(session, lists)
        , window(session, lists, editor)
        , picker(session)
    {
    }
    bool open() { return session.ADOC.open(session.databasePath()) && session.openRoutes(); }
    // Shows the catalogue and lets it paint; true when it shows waypoints.
    bool show()
    {
        window.show();
        QApplication::processEvents();
        return lists.QPunkts.rowCount() > 0;
    }

    store::Session session;
    catalogues::CatalogueLists lists;
    catalogues::TF_PPM editor;
    catalogues::TF_Punkts window;
    editor::TF_PPMSel picker;
};

// The process's peak resident memory in MB (VmHWM), or -1 where the system
// does not tell.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)\\s*kB")).match(text);
    return m.hasMatch() ? m.captured(1).toDouble() / 1024.0 : -1;
}

// In the child process: the peak of the program with its connection and
// route list open (the floor), then with the catalogue open.
void measurePeakHere(Bench &bench, const QString &folder)
{
    SilentPrompter prompter;
    Program program(folder, prompter);
    if (!program.open()) {
        bench.fail(kPeak, QStringLiteral("the database did not open"));
        return;
    }
    const double floor = peakResidentMb();
    if (!program.show()) {
        bench.fail(kPeak, QStringLiteral("the catalogue did not open"));
        return;
    }
    const double mb = peakResidentMb();
    if (mb < 0 || floor < 0) {
        bench.fail(kPeak, QStringLiteral("no /proc/self/status"));
        return;
    }
    bench.report(kPeak, mb, QStringLiteral("MB"));
    bench.report(kPeakFloor, floor, QStringLiteral("MB"));
}

void measurePeakInChild(Bench &bench, const QString &folder)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildFolder), folder);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--runs"), QStringLiteral("1"), kPeak});
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        bench.fail(kPeak, QStringLiteral("the measuring process failed: ") + QString::fromLocal8Bit(child.readAllStandardError()));
        return;
    }
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    for (const QString &figure : {kPeak, kPeakFloor}) {
        const QRegularExpressionMatch m =
            QRegularExpression(QRegularExpression::escape(figure) + QStringLiteral(":\\s*([0-9.]+)")).match(out);
        if (!m.hasMatch()) {
            bench.fail(figure, QStringLiteral("the measuring process printed no figure"));
            return;
        }
        bench.report(figure, m.captured(1).toDouble(), QStringLiteral("MB"));
    }
}

// Types a text into a search edit and presses Enter, which finds at once.
void typeAndEnter(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &press);
    QApplication::processEvents(); // the grid follows the list's row
}

// The reads of the catalogue's order by SQLite alone: the first page, and the
// pages around a row with given keys.
struct CatalogueReads
{
    explicit CatalogueReads(const QString &path) : db(path)
    {
        const QStringList k = store::waypointOrderKeys();
        keys = k.join(QStringLiteral(", "));
        descending = k.join(QStringLiteral(" DESC, ")) + QStringLiteral(" DESC");
        columns = QStringLiteral("Punkts.Code, Punkts.ID, Punkts.Region, Punkts.Name, Punkts.Type, Punkts.Freq, "
                                 "Punkts.LAT, Punkts.LON, Punkts.MS, Punkts.H, Punkts.ATIS, Punkts.RSBN, "
                                 "Punkts.H_PER, Punkts.FL_PER, ")
            + keys;
        beyond = QStringLiteral("%1 %3 ? AND (%1 %4 ? OR %2 %4 ? OR (%2 = ? AND Punkts.Code %5 ?))")
                     .arg(k.at(0), k.at(1));
    }
    bool firstPage()
    {
        return db.run(QStringLiteral("SELECT %1 FROM Punkts ORDER BY %2 LIMIT %3").arg(columns, keys).arg(kPage));
    }
    // The first row whose ident key is at least key: its order keys.
    bool seekIdent(const QString &key, QVariantList *found)
    {
        return db.run(QStringLiteral("SELECT %1 FROM Punkts WHERE %2 >= ? ORDER BY %1 LIMIT 1")
                          .arg(keys, store::waypointOrderKeys().at(0)),
                      {key}, nullptr, found);
    }
    bool pagesAround(const QVariantList &at)
    {
        const QVariantList values{at.value(0), at.value(0), at.value(1), at.value(1), at.value(2)};
        return db.run(QStringLiteral("SELECT %1 FROM Punkts WHERE %2 ORDER BY %3 LIMIT %4")
                          .arg(columns, beyond.arg(QStringLiteral("<="), QStringLiteral("<"), QStringLiteral("<")),
                               descending)
                          .arg(kBefore),
                      values)
            && db.run(QStringLiteral("SELECT %1 FROM Punkts WHERE %2 ORDER BY %3 LIMIT %4")
                          .arg(columns, beyond.arg(QStringLiteral(">="), QStringLiteral(">"), QStringLiteral(">=")), keys)
                          .arg(kPage),
                      values);
    }

    RawDatabase db;
    QString keys;
    QString descending;
    QString columns;
    QString beyond;
};

template<typename Body>
double floorMs(Bench &bench, const QString &figure, CatalogueReads &reads, Body &&body)
{
    const double ms = bench.medianMs([&] {
        if (body())
            return true;
        bench.fail(floorOf(figure), reads.db.lastError());
        return false;
    });
    if (ms >= 0)
        bench.report(floorOf(figure), ms, QStringLiteral("ms"));
    return ms;
}

} // namespace

void benchCatalogues(Bench &bench)
{
    const GeneratedSize size;
    const QString childFolder = qEnvironmentVariable(kChildFolder);
    if (!childFolder.isEmpty()) {
        if (bench.wants(kPeak))
            measurePeakHere(bench, childFolder);
        return;
    }
    const bool open = bench.wants(kOpen);
    const bool search = bench.wants(kSearch);
    const bool picker = bench.wants(kPicker);
    const bool peak = bench.wants(kPeak);
    if (!open && !search && !picker && !peak)
        return;

    const QString folder = bench.newFolder(QStringLiteral("catalogues"));
    const QString path = folder + QStringLiteral("kalyxdb.kdb");
    QString why;
    if (!generateDatabase(path, size, &why)) {
        bench.fail(kOpen, why);
        return;
    }
    SilentPrompter prompter;
    Program program(folder, prompter);
    if (!program.open()) {
        bench.fail(kOpen, program.session.ADOC.lastError());
        return;
    }
    CatalogueReads reads(path);
    if (!reads.db.isOpen()) {
        bench.fail(kOpen, reads.db.lastError());
        return;
    }
    store::Query &list = program.lists.QPunkts;

    if (open) {
        std::vector<double> times;
        for (int i = 0; i < bench.runs(); ++i) {
            QElapsedTimer timer;
            timer.start();
            const bool ok = program.show();
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            program.window.done(0);
            if (!ok) {
                bench.fail(kOpen, QStringLiteral("the catalogue showed no waypoints"));
                return;
            }
        }
        bench.report(kOpen, Bench::median(times), QStringLiteral("ms"));
        floorMs(bench, kOpen, reads, [&] { return reads.firstPage(); });
    }

    // Waypoints from all over the list, found by what a pilot types: an ident,
    // or a word of the name (a city, common to many, or a number, one's own).
    QRandomGenerator random(11);
    std::vector<qint64> codes;
    for (int i = 0; i < 30; ++i)
        codes.push_back(1 + random.bounded(size.waypoints));
    const auto waypoint = [&](qint64 code, const char *column) {
        QVariantList row;
        reads.db.run(QStringLiteral("SELECT %1 FROM Punkts WHERE Code = ?").arg(QLatin1String(column)), {code}, nullptr,
                     &row);
        return row.value(0).toString();
    };

    if (search) {
        if (!program.show()) {
            bench.fail(kSearch, QStringLiteral("the catalogue did not open"));
            return;
        }
        auto *id = program.window.findChild<QLineEdit *>(QStringLiteral("PID"));
        auto *name = program.window.findChild<QLineEdit *>(QStringLiteral("PName"));
        QStringList idents;
        QStringList words;
        for (const qint64 code : codes) {
            idents << waypoint(code, "ID");
            const QStringList parts = waypoint(code, "Name").split(u' ');
            words << parts.at(random.bounded(static_cast<int>(parts.size())));
        }
        int next = 0;
        const double ms = bench.medianMs([&] {
            typeAndEnter(id, idents.at(next++ % idents.size()));
            return !list.isEmpty();
        });
        bench.report(kSearch, ms, QStringLiteral("ms"));
        next = 0;
        floorMs(bench, kSearch, reads, [&] {
            QVariantList found;
            return reads.seekIdent(store::waypointIdentKey(idents.at(next++ % idents.size())), &found)
                && reads.pagesAround(found);
        });
        next = 0;
        const double nameMs = bench.medianMs([&] {
            typeAndEnter(name, words.at(next++ % words.size()));
            return !list.isEmpty();
        });
        bench.report(kSearchName, nameMs, QStringLiteral("ms"));
        // SQLite alone: the first of the word's entries in the index of name
        // words, and the pages around a row.
        next = 0;
        floorMs(bench, kSearchName, reads, [&] {
            const QString word = words.at(next++ % words.size());
            QVariantList found;
            QVariantList at;
            return reads.db.run(QStringLiteral("SELECT Punkt FROM PunktWords WHERE Word >= ? AND Word < ? LIMIT 1"),
                                {word, store::pastPrefix(word)}, nullptr, &found)
                && reads.db.run(QStringLiteral("SELECT %1 FROM Punkts WHERE Code = ?").arg(reads.keys),
                                {found.value(0)}, nullptr, &at)
                && reads.pagesAround(at);
        });
        program.window.done(0);
    }

    if (picker) {
        // A route point's waypoint far down the list, as a replacement starts.
        int next = 0;
        std::vector<double> times;
        for (int i = 0; i < bench.runs(); ++i) {
            const qint64 code = codes.at(static_cast<size_t>(next++) % codes.size());
            program.picker.prepare(editor::WaypointPicker::Mode::Replace, QStringLiteral("Добавление ППМ"), code);
            QElapsedTimer timer;
            timer.start();
            program.picker.show();
            QApplication::processEvents();
            const bool ok = program.picker.list().value(u"Code").toLongLong() == code;
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            program.picker.done(0);
            if (!ok) {
                bench.fail(kPicker, QStringLiteral("the picker did not show the point's waypoint"));
                return;
            }
        }
        bench.report(kPicker, Bench::median(times), QStringLiteral("ms"));
        next = 0;
        floorMs(bench, kPicker, reads, [&] {
            QVariantList at;
            return reads.db.run(QStringLiteral("SELECT %1 FROM Punkts WHERE Code = ?").arg(reads.keys),
                                {codes.at(static_cast<size_t>(next++) % codes.size())}, nullptr, &at)
                && reads.pagesAround(at);
        });
    }

    if (peak)
        measurePeakInChild(bench, folder);
}

} // namespace kx::bench

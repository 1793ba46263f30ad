#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

// The layers of the source tree, as the README draws them: windows → ui →
// core → store, geo → base. A folder may include a folder of a lower level;
// core folders may include each other as long as no two need each other; the
// window folders may not include each other, but the shell, which puts the
// program together, includes them all. Below ui nothing includes a Widgets
// header; kalyx-cli and the tools stay programs without windows; the
// benchmark, which times the windows too, stands above them all, and opens a
// window folder only through its windows' own headers (U_*.h), never the
// widgets a window builds itself of, which the window may change. The sphere
// of every distance and course is geo's: no other folder makes a geodesic of
// its own. SQL runs only through store, so no other folder includes Qt Sql.
// Every folder of C++ sources but the tests is one of these.
namespace {

struct Layer
{
    const char *folder;
    int level;
};

constexpr int kCore = 2;
constexpr int kWindows = 4;
constexpr int kShell = 5;

// A file belongs to the longest folder that prefixes its path.
const Layer kLayers[] = {
    {"base", 0},
    {"store", 1},
    {"geo", 1},
    {"calc", kCore},
    {"interchange", kCore},
    {"reports/core", kCore},
    {"map/core", kCore},
    {"editor/core", kCore},
    {"catalogues/core", kCore},
    {"shell/core", kCore},
    {"cli", kCore},   // a program of the core alone
    {"tools", kCore}, // the makers of the shipped files, of the core alone
    {"ui", 3},
    {"editor", kWindows},
    {"catalogues", kWindows},
    {"map", kWindows},
    {"shell", kShell},
    {"bench", 6},
};

bool isProgramOfTheCore(const Layer *layer)
{
    return qstrcmp(layer->folder, "cli") == 0 || qstrcmp(layer->folder, "tools") == 0;
}

// Whether an include from a layer above the windows reaches into a window
// folder's own parts: anything but a window's header. The shell, which puts
// the program together, may use what the window folders offer it besides.
bool reachesIntoWindowFolder(const Layer *from, const Layer *to, const QString &target)
{
    return from->level > kShell && to->level == kWindows && !target.section(u'/', -1).startsWith(QLatin1String("U_"));
}

const Layer *layerOf(const QString &path)
{
    const Layer *best = nullptr;
    for (const Layer &layer : kLayers) {
        const QString folder = QString::fromLatin1(layer.folder) + u'/';
        if (path.startsWith(folder) && (!best || qstrlen(layer.folder) > qstrlen(best->folder)))
            best = &layer;
    }
    return best;
}

struct Include
{
    QString file;
    int line;
    QString target; // as written between the quotes or angle brackets
    bool system;
};

QList<Include> includesOf(const QString &root, const QString &path)
{
    QList<Include> found;
    QFile file(root + u'/' + path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return found;
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"));
    int line = 0;
    while (!file.atEnd()) {
        ++line;
        const QRegularExpressionMatch m = include.match(QString::fromUtf8(file.readLine()));
        if (m.hasMatch())
            found.append({path, line, m.captured(2), m.captured(1) == QLatin1String("<")});
    }
    return found;
}

QStringList sources(const QString &root)
{
    QStringList files;
    for (const Layer &layer : kLayers) {
        QDirIterator it(root + u'/' + QLatin1String(layer.folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = QDir(root).relativeFilePath(it.next());
            if (layerOf(path) == &layer)
                files << path;
        }
    }
    return files;
}

// Every C++ file of the tree but the tests' and the build folders'.
QStringList allSources(const QString &root)
{
    QStringList files;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(root).relativeFilePath(it.next());
        const QString top = path.section(u'/', 0, 0);
        if (top == QLatin1String("tests") || top.startsWith(QLatin1String("build")) || top.startsWith(u'.')
            || path.contains(QLatin1String("/node_modules/")) || !path.contains(u'/'))
            continue;
        files << path;
    }
    return files;
}

// A header that makes geodesics on a sphere or an ellipsoid of one's own.
bool isGeodesicHeader(const QString &target)
{
    return target.startsWith(QLatin1String("GeographicLib/Geodesic"));
}

// A header of Qt Sql, by module path or by class name.
bool isSqlHeader(const QString &target)
{
    return target.startsWith(QLatin1String("QtSql")) || target.startsWith(QLatin1String("QSql"));
}

QSet<QString> widgetHeaders()
{
    QSet<QString> names{QStringLiteral("QtWidgets")};
    for (const QString &name : QDir(QStringLiteral(KX_QTWIDGETS_DIR)).entryList(QDir::Files))
        names.insert(name);
    return names;
}

// Whether the graph of core folders has a cycle; names one when it has.
QString cycleIn(const QHash<QString, QSet<QString>> &edges)
{
    QHash<QString, int> state; // 1 on the path, 2 done
    QStringList path;
    std::function<QString(const QString &)> visit = [&](const QString &node) -> QString {
        state[node] = 1;
        path << node;
        for (const QString &next : edges.value(node)) {
            if (state.value(next) == 1)
                return (path.mid(path.indexOf(next)) << next).join(QStringLiteral(" → "));
            if (state.value(next) == 0) {
                const QString cycle = visit(next);
                if (!cycle.isEmpty())
                    return cycle;
            }
        }
        path.removeLast();
        state[node] = 2;
        return {};
    };
    for (auto it = edges.cbegin(); it != edges.cend(); ++it)
        if (state.value(it.key()) == 0)
            if (const QString cycle = visit(it.key()); !cycle.isEmpty())
                return cycle;
    return {};
}

} // namespace

class TestLayers : public QObject
{
    Q_OBJECT
private slots:
    void includesPointDown();
    void everySourceIsInALayer();
};

void TestLayers::includesPointDown()
{
    const QString root = QStringLiteral(KX_SOURCE_DIR);
    const QStringList files = sources(root);
    QVERIFY2(files.size() > 100, "the source tree was not found");
    const QSet<QString> widgets = widgetHeaders();
    QVERIFY2(widgets.contains(QStringLiteral("QWidget")), KX_QTWIDGETS_DIR);

    QStringList faults;
    QHash<QString, QSet<QString>> coreEdges;
    for (const QString &file : files) {
        const Layer *from = layerOf(file);
        for (const Include &inc : includesOf(root, file)) {
            const QString where = QStringLiteral("%1:%2 includes %3").arg(inc.file).arg(inc.line).arg(inc.target);
            if (inc.system) {
                if (from->level < 3 && widgets.contains(inc.target.section(u'/', -1)))
                    faults << where + QStringLiteral(" (a Widgets header below ui)");
                if (qstrcmp(from->folder, "geo") != 0 && isGeodesicHeader(inc.target))
                    faults << where + QStringLiteral(" (the sphere is geo's: geo/GreatCircle.h, geo/Sphere.h)");
                if (qstrcmp(from->folder, "store") != 0 && isSqlHeader(inc.target))
                    faults << where + QStringLiteral(" (SQL runs through store: store::Statement, store::Query)");
                continue;
            }
            const Layer *to = layerOf(inc.target);
            if (!to || to == from)
                continue; // a file of the same folder, or outside the layers
            const bool sameLevel = to->level == from->level;
            if (to->level > from->level)
                faults << where + QStringLiteral(" (a layer above)");
            else if (sameLevel && from->level == kWindows)
                faults << where + QStringLiteral(" (another window folder: let the shell join them)");
            else if (sameLevel && from->level == kCore)
                coreEdges[QLatin1String(from->folder)].insert(QLatin1String(to->folder));
            if (isProgramOfTheCore(from) && to->level > kCore)
                faults << where + QStringLiteral(" (a program of the core has no windows)");
            if (reachesIntoWindowFolder(from, to, inc.target))
                faults << where + QStringLiteral(" (a window folder's own part: reach it through the window, U_*.h)");
        }
    }
    const QString cycle = cycleIn(coreEdges);
    if (!cycle.isEmpty())
        faults << QStringLiteral("core folders need each other: ") + cycle;
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestLayers::everySourceIsInALayer()
{
    const QString root = QStringLiteral(KX_SOURCE_DIR);
    const QStringList files = allSources(root);
    QVERIFY2(files.size() > 100, "the source tree was not found");
    QStringList outside;
    for (const QString &file : files)
        if (!layerOf(file))
            outside << file;
    QVERIFY2(outside.isEmpty(),
             qPrintable(QStringLiteral("in no layer (add the folder to kLayers):\n") + outside.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"

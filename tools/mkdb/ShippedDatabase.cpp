#include "ShippedDatabase.h"

#include "DbBuild.h"
#include "DemoRouteLoader.h"

#include "base/SimPath.h"
#include "geo/MagVar.h"
#include "store/Database.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kx::dbbuild {

namespace {

bool planFiles(const QStringList &paths, QStringList *files, QString *error)
{
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QDir dir(path);
            const QStringList names = dir.entryList({QStringLiteral("*.PLN")}, QDir::Files, QDir::Name);
            for (const QString &name : names)
                files->append(dir.filePath(name));
        } else if (info.isFile()) {
            files->append(path);
        } else {
            *error = QStringLiteral("%1: no such file or folder").arg(path);
            return false;
        }
    }
    return true;
}

bool fill(const QString &path, const ShippedDatabaseOptions &options, const QStringList &plans,
          ShippedDatabaseSummary *summary, QString *error)
{
    store::Database db(QStringLiteral("kalyx-mkdb"));
    if (!db.open(path)) {
        *error = db.lastError();
        return false;
    }
    {
        store::Transaction transaction(db);
        if (!transaction.isActive()) {
            *error = db.lastError();
            return false;
        }
        CatalogueLoader catalogue(db, withTrailingSeparator(options.fsPath));
        if (!catalogue.load(options.catalogueFolder, options.withGpl, error))
            return false;
        DemoRouteLoader routes(db);
        for (const QString &plan : plans)
            if (!routes.load(plan, error))
                return false;
        if (!transaction.commit()) {
            *error = db.lastError();
            return false;
        }
        summary->catalogue = catalogue.counts();
        summary->routes = routes.routes();
        summary->points = routes.points();
    }
    // A single self-contained file to ship; the program turns WAL on itself.
    {
        store::Statement journal(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
        if (!journal.exec()) {
            *error = journal.lastError();
            return false;
        }
    }
    db.close();
    return true;
}

} // namespace

bool buildShippedDatabase(const ShippedDatabaseOptions &options, ShippedDatabaseSummary *summary, QString *error)
{
    if (QFileInfo::exists(options.output)) {
        *error = QStringLiteral("%1 already exists and is left as it is").arg(options.output);
        return false;
    }
    // MagVar answers 0.0 for a table it cannot read; a database full of zero
    // variations would look fine and calculate wrong courses.
    if (!geo::isVariationTable(withTrailingSeparator(options.fsPath))) {
        *error = QStringLiteral("%1: no usable magnetic variation table under it")
                     .arg(geo::magdecPath(withTrailingSeparator(options.fsPath)));
        return false;
    }
    QStringList plans;
    if (!planFiles(options.plans, &plans, error))
        return false;

    const QString part = options.output + QStringLiteral(".part");
    QFile::remove(part);
    if (!createDatabase(part, error))
        return false;
    auto removePart = [&part]() {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-wal"));
        QFile::remove(part + QStringLiteral("-shm"));
    };
    ShippedDatabaseSummary result;
    if (!fill(part, options, plans, &result, error)) {
        removePart();
        return false;
    }
    if (!QFile::rename(part, options.output)) {
        *error = QStringLiteral("cannot rename %1 to %2").arg(part, options.output);
        removePart();
        return false;
    }
    if (summary)
        *summary = result;
    return true;
}

} // namespace kx::dbbuild

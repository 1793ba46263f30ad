#include "DbBuild.h"

#include "store/Database.h"
#include "store/Script.h"

#include <QFile>

namespace kx::dbbuild {
namespace {

QString schemaText()
{
    QFile file(QStringLiteral(":/kalyx/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

bool createDatabase(const QString &path, QString *error)
{
    const QString schema = schemaText();
    if (schema.isEmpty()) {
        if (error)
            *error = QStringLiteral("the schema is missing from the build");
        return false;
    }
    bool ok = false;
    {
        store::Database db(QStringLiteral("kalyx-dbbuild"));
        if (!db.create(path)) {
            if (error)
                *error = db.lastError();
            // An existing file is not ours to remove.
            return false;
        }
        ok = store::runScript(db, schema, error);
    }
    if (!ok)
        QFile::remove(path);
    return ok;
}

} // namespace kx::dbbuild

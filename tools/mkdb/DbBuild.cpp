#include "DbBuild.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kx::dbbuild {
namespace {

QString schemaText()
{
    QFile file(QStringLiteral(":/kalyx/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool runScript(QSqlDatabase &db, const QString &script, QString *error)
{
    QString statement;
    const QStringList lines = script.split(u'\n');
    for (QString line : lines) {
        const qsizetype comment = line.indexOf(QStringLiteral("--"));
        if (comment >= 0)
            line.truncate(comment);
        statement += line + u'\n';
        if (!line.trimmed().endsWith(u';'))
            continue;
        // A trigger's own statements end with ";" too: it ends at its END.
        if (statement.trimmed().startsWith(QStringLiteral("CREATE TRIGGER"), Qt::CaseInsensitive)
            && line.trimmed().compare(QStringLiteral("END;"), Qt::CaseInsensitive) != 0)
            continue;
        QSqlQuery q(db);
        if (!q.exec(statement.trimmed()))
            return setError(error, q.lastError().text() + QStringLiteral(": ") + statement.trimmed());
        statement.clear();
    }
    return true;
}

bool createDatabase(const QString &path, QString *error)
{
    if (QFileInfo::exists(path))
        return setError(error, QStringLiteral("%1 already exists").arg(path));
    const QString schema = schemaText();
    if (schema.isEmpty())
        return setError(error, QStringLiteral("the schema is missing from the build"));
    const QString name = QStringLiteral("kalyx-dbbuild");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            setError(error, db.lastError().text());
        else
            ok = runScript(db, schema, error);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok)
        QFile::remove(path);
    return ok;
}

} // namespace kx::dbbuild

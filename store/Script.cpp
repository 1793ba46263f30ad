#include "Script.h"

#include "Statement.h"

#include <QStringList>

namespace kx::store {
namespace {

// A line that ends a trigger: "END;" alone or after the last statement.
bool endsTrigger(const QString &line)
{
    if (!line.endsWith(QStringLiteral("END;"), Qt::CaseInsensitive))
        return false;
    return line.size() == 4 || line.at(line.size() - 5).isSpace();
}

} // namespace

bool runScript(Database &db, const QString &script, QString *error)
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
            && !endsTrigger(line.trimmed()))
            continue;
        Statement run(db, statement.trimmed());
        if (!run.exec()) {
            if (error)
                *error = run.lastError();
            return false;
        }
        statement.clear();
    }
    return true;
}

} // namespace kx::store

#include "Script.h"

#include "Statement.h"

#include <QStringList>

namespace kx::store {

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
            && line.trimmed().compare(QStringLiteral("END;"), Qt::CaseInsensitive) != 0)
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

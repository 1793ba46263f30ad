#pragma once

#include <QHash>
#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace kx::bench {

// SQLite on its own: a connection through its C API, with the program's
// settings but none of the program's code, on which a floor is timed: what
// SQLite itself needs for the reads and writes behind one of the program's
// figures, on this machine. A figure's floor is printed beside it as
// NAME_floor_ms.
class RawDatabase
{
public:
    explicit RawDatabase(const QString &path);
    ~RawDatabase();
    RawDatabase(const RawDatabase &) = delete;
    RawDatabase &operator=(const RawDatabase &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    const QString &lastError() const { return m_error; }

    // Runs one statement with its values bound and steps through its rows,
    // reading every value of each (texts as UTF-8, as the program's lists
    // read them). rows, when given, receives how many there were; firstRow
    // the values of the first one.
    bool run(const QString &sql, const QVariantList &values = {}, int *rows = nullptr,
             QVariantList *firstRow = nullptr);

private:
    sqlite3 *m_db = nullptr;
    QHash<QString, sqlite3_stmt *> m_prepared;
    QString m_error;
};

// The name of a figure's floor.
inline QString floorOf(const QString &figure)
{
    return QString(figure).replace(QStringLiteral("_ms"), QStringLiteral("_floor_ms"));
}

} // namespace kx::bench

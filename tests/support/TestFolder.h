#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace kx::test {

// Raw entry of a variation table at (column, row): column = whole degrees east
// of Greenwich 0..359, row = whole degrees from the south pole 0..180.
using MagdecEntry = std::function<qint16(int column, int row)>;

// Writes a variation table in the simulator's layout: a 136-byte header, then
// 360 columns of 181 signed 16-bit little-endian entries, then an optional
// 12-byte tail (as FS2004's own file has).
bool writeMagdec(const QString &path, const MagdecEntry &entry, bool withTail = true);

// A file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);

// A temporary program folder for one test: kalyxdb.kdb, kalyx.ini and a small
// simulator folder FS9/ with a variation table, the NVU cell folder and the
// I-21 gauge file, each made on request.
class TestFolder
{
public:
    TestFolder();

    bool isValid() const { return m_dir.isValid(); }
    // The program folder, with its trailing separator.
    QString path() const;
    QString file(const QString &name) const { return path() + name; }
    // The simulator folder, with its trailing separator.
    QString fsPath() const { return path() + QStringLiteral("FS9/"); }
    QString magdecPath() const { return fsPath() + QStringLiteral("Scenery/BASE/Scenery/magdec.bgl"); }

    // An empty route database with the program's tables.
    bool createDatabase();
    // An empty route database as the program's first schema made it (schema
    // version 0, tests/store/data/schema-0.sql): its indexes name the
    // program's collation.
    bool createFirstSchemaDatabase();
    // ... as schema version 1 made it (tests/store/data/schema-1.sql).
    bool createSecondSchemaDatabase();
    // The simulator folder with a variation table (every entry from the
    // function, by default variationAt() at every node), the cell folder and
    // a gauge file holding a "[ppm" line.
    bool createSimulator(const MagdecEntry &entry = {});
    // The default table's variation at a whole-degree node, degrees east:
    // (3 x latitude - longitude east 0..359) / 10, so N56 E037 holds 13.1.
    // It changes with latitude and longitude differently, so that a lookup
    // with the two swapped, or a row or a column off, finds another value.
    static double variationAt(int latitudeNorth, int longitudeEast);
    // kalyx.ini with the given lines (CR LF, windows-1251).
    bool writeIni(const QString &text);
    // kalyx.ini pointing at the simulator folder.
    bool writeDefaultIni(int rsbnRange = 300);
    QString readIni() const;

private:
    bool createOlderSchemaDatabase(const QString &schemaFile);

    QTemporaryDir m_dir;
};

// Makes a folder refuse new files, renames and deletions (writable false), or
// take them again. Root writes wherever permissions forbid it, so for root the
// folder gets the immutable attribute (FS_IMMUTABLE_FL, as chattr +i sets it);
// anyone else gets its write permission taken away. False, with *why, when
// the file system cannot do so.
bool setFolderWritable(const QString &path, bool writable, QString *why);

} // namespace kx::test

#include "ExportI21.h"

#include "ExportFailure.h"
#include "InterchangeTexts.h"
#include "RoutePointsQuery.h"

#include "base/AtomicFile.h"
#include "base/Busy.h"
#include "base/Cp1251.h"
#include "base/FileError.h"
#include "base/Prompter.h"
#include "base/SimPath.h"
#include "geo/CoordText.h"
#include "store/Session.h"

#include <QFile>
#include <QFileInfo>

namespace kx::interchange {
namespace {

constexpr int kLastNumber = 99;

// The gauge file's lines, as bytes, up to and including the first one that
// contains "[ppm"; false when no line does. Lines end at CR LF, LF or CR.
bool leadingPart(const QByteArray &file, QList<QByteArray> *lines)
{
    qsizetype start = 0;
    const qsizetype n = file.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && file.at(end) != '\r' && file.at(end) != '\n')
            ++end;
        const QByteArray line = file.mid(start, end - start);
        lines->append(line);
        if (line.contains("[ppm"))
            return true;
        if (end < n && file.at(end) == '\r' && end + 1 < n && file.at(end + 1) == '\n')
            ++end;
        start = end + 1;
    }
    return false;
}

// A coordinate text as the gauge reads it: "," read as "." and without the
// hemisphere letter; south and west carry a minus sign instead.
QString gaugeCoordinate(const QString &text)
{
    const QString plain = geo::ReplaceAll(text, QStringLiteral(","), QStringLiteral("."));
    if (plain.isEmpty())
        return plain;
    const QChar letter = plain.front();
    return (letter == u'S' || letter == u'W' ? QStringLiteral("-") : QString()) + plain.mid(1);
}

// The gauge file with its leading part kept and the points after it, its
// backup made first; false with the message naming the file and why.
bool writeGaugeFile(const QString &gauge, const QByteArray &points, QString *message)
{
    QFile file(gauge);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = exportFailureText(gauge, fileFailure(file, FileAccess::Read));
        return false;
    }
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *message = exportFailureText(gauge, fileFailure(file, FileAccess::Read));
        return false;
    }
    file.close();
    QList<QByteArray> lines;
    if (!leadingPart(old, &lines)) {
        *message = exportFailureText(gauge, texts::gaugeFileWithoutPpm());
        return false;
    }
    QByteArray content;
    for (const QByteArray &line : std::as_const(lines))
        content += line + "\r\n";
    content += points;
    // The backup keeps the gauge's own file as it was before the first
    // export; it must exist before that file is replaced.
    const QString backup = gauge + QStringLiteral(".org");
    if (!QFileInfo::exists(backup) && !file.copy(backup)) {
        *message = exportFailureText(backup, fileFailure(backup, file.errorString(), FileAccess::Write));
        return false;
    }
    FileFailure failure;
    if (!writeFileAtomically(gauge, content, &failure)) {
        *message = exportFailureText(gauge, failure);
        return false;
    }
    return true;
}

QString pointLine(int number, const QVariant &lat, const QVariant &lon)
{
    return QStringLiteral("ppm_") + QString::number(number).rightJustified(2, u'0') + u'='
        + gaugeCoordinate(lat.toString()) + u',' + gaugeCoordinate(lon.toString());
}

} // namespace

QString i21Folder(const QString &fsPath)
{
    return simPath(fsPath, QStringLiteral("\\Gauges\\i21_cfg"));
}

QString i21GaugeFile(const QString &fsPath)
{
    return simPath(fsPath, QStringLiteral("\\Gauges\\i21_cfg\\I21_PPM.CFG"));
}

QString i21Backup(const QString &fsPath)
{
    return i21GaugeFile(fsPath) + QStringLiteral(".org");
}

bool ExportI21(store::Session &session, store::Query &qp, QObject *editor)
{
    Prompter &prompter = session.prompter();
    const QString fsPath = session.settings.fsPath;
    const QString folder = i21Folder(fsPath);
    if (!QFileInfo(folder).isDir()) {
        prompter.error(editor, texts::folderNotFound(folder));
        return false;
    }
    const QString gauge = i21GaugeFile(fsPath);
    if (!QFileInfo::exists(gauge)) {
        prompter.error(editor, texts::fileNotFound(gauge));
        return false;
    }

    BusyGuard busy(session.busy());
    const store::Query &routes = session.QRoutes;
    if (routes.isEmpty() || !openRoutePoints(qp, routes.value(u"Code").toLongLong())) {
        busy.restoreNow();
        prompter.error(editor, texts::pointsQueryFailed());
        return false;
    }
    QString points;
    int number = 1;
    for (int row = 0; row < qp.rowCount() && number <= kLastNumber; ++row) {
        points += pointLine(number, qp.valueAt(row, u"LAT"), qp.valueAt(row, u"LON")) + QStringLiteral("\r\n");
        ++number;
        if (number % 10 == 0) {
            points += QStringLiteral("\r\n");
            ++number;
        }
    }
    qp.close();

    QString failure;
    if (!writeGaugeFile(gauge, toCp1251(points), &failure)) {
        busy.restoreNow();
        prompter.error(editor, failure);
        return false;
    }
    return true;
}

} // namespace kx::interchange

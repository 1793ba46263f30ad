#include "SimPath.h"

#include "Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kx {

QString nativeSeparator()
{
    return QString(QDir::separator());
}

QString withTrailingSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    if (native.endsWith(QDir::separator()))
        return native;
    return native + QDir::separator();
}

namespace {

// The entry of folder whose name equals name ignoring letter case; name itself
// when it exists as written or nothing matches.
QString matchCase(const QString &folder, const QString &name)
{
    const QString base = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (QFileInfo::exists(base + u'/' + name))
        return name;
    const QStringList entries = QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

} // namespace

QString simPath(const QString &fsPath, const QString &relative)
{
    if (platform::fileNamesIgnoreCase())
        return fsPath + QDir::toNativeSeparators(relative);
    QString rel = relative;
    rel.replace(u'\\', u'/');
    // Walk the components from the simulator folder, keeping the text as
    // written (doubled separators included) and fixing only the letter case.
    QString resolved;
    QString folder = fsPath;
    const QStringList parts = rel.split(u'/');
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            resolved += u'/';
        const QString &part = parts.at(i);
        if (part.isEmpty())
            continue;
        const QString actual = matchCase(folder, part);
        resolved += actual;
        if (!folder.isEmpty() && !folder.endsWith(u'/'))
            folder += u'/';
        folder += actual;
    }
    return fsPath + resolved;
}

} // namespace kx

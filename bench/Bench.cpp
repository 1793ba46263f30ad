#include "Bench.h"

#include <QDir>
#include <QTextStream>

namespace kx::bench {

Bench::Bench(QStringList prefixes, int runs) : m_prefixes(std::move(prefixes)), m_runs(std::max(1, runs)) {}

bool Bench::wants(const QString &figure) const
{
    if (m_prefixes.isEmpty())
        return true;
    return std::any_of(m_prefixes.cbegin(), m_prefixes.cend(),
                       [&](const QString &prefix) { return figure.startsWith(prefix); });
}

QString Bench::newFolder(const QString &name) const
{
    const QString path = m_scratch.filePath(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path + u'/';
}

void Bench::report(const QString &figure, double value, const QString &unit)
{
    QTextStream(stdout) << figure << ": " << QString::number(value, 'f', 3) << ' ' << unit << Qt::endl;
}

void Bench::fail(const QString &figure, const QString &why)
{
    m_failed = true;
    QTextStream(stderr) << figure << ": failed: " << why << Qt::endl;
}

double Bench::median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace kx::bench

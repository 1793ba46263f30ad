#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace kx::bench {

// One run of kalyx-bench: which figures are wanted, a scratch folder for the
// data the groups generate, and the printing of figures as "name: value unit".
// Each group of figures is a function taking the Bench (see Groups.h); it asks
// wants() before doing the work of a figure, so a subset runs quickly.
class Bench
{
public:
    // prefixes: figure names or their beginnings; none means every figure.
    Bench(QStringList prefixes, int runs);

    bool wants(const QString &figure) const;
    // How many times each timed body runs; the figure is the median.
    int runs() const { return m_runs; }

    // A new empty folder under the run's scratch folder (removed at exit).
    QString newFolder(const QString &name) const;
    bool isValid() const { return m_scratch.isValid(); }

    void report(const QString &figure, double value, const QString &unit);
    // A figure that could not be measured: printed on stderr, and the run ends
    // with a non-zero exit code.
    void fail(const QString &figure, const QString &why);
    bool failed() const { return m_failed; }

    // The median time of body() in milliseconds over runs() runs. body returns
    // false to stop (a failure it has reported); the median is then of the runs
    // done so far, or -1 when there were none.
    template<typename Body>
    double medianMs(Body &&body) const
    {
        std::vector<double> times;
        times.reserve(static_cast<size_t>(m_runs));
        for (int i = 0; i < m_runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            const bool ok = body();
            const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            if (!ok)
                break;
            times.push_back(ms);
        }
        return median(times);
    }

    static double median(std::vector<double> values);

private:
    QStringList m_prefixes;
    int m_runs;
    QTemporaryDir m_scratch;
    bool m_failed = false;
};

} // namespace kx::bench

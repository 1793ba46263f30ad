#pragma once

#include "base/Prompter.h"

namespace kx::bench {

// Messages of a benchmark run: nothing is shown; the last error is kept so
// that a failed step can be reported beside its figure. Questions are
// answered Yes.
class SilentPrompter : public Prompter
{
public:
    void error(QObject *, const QString &text) override { m_lastError = text; }
    void info(QObject *, const QString &) override {}
    bool ask(QObject *, const QString &, bool) override { return true; }

    const QString &lastError() const { return m_lastError; }
    void clear() { m_lastError.clear(); }

private:
    QString m_lastError;
};

} // namespace kx::bench

#pragma once

#include "catalogues/core/ImportProgress.h"
#include "ui/Dialog.h"

#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kx::catalogues {

// The window of a long catalogue import: what it does now (PStage), a bar
// (PBar) and "Отмена" (BCancel). It is shown by the first stage and blocks the
// other windows; the import runs on, and the window lets the events through
// every few hundredths of a second so that it repaints and Cancel can be
// pressed. Cancel, Esc and the window's closing only ask the import to stop:
// the window goes when the import is over.
class ImportProgressDialog : public ui::Dialog, public ImportProgress
{
    Q_OBJECT
public:
    explicit ImportProgressDialog(const QString &caption, QWidget *parent = nullptr);

    void setStage(const QString &text) override;
    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    bool cancelRequested() override { return m_cancelRequested; }
    void finished() override;

    void reject() override;

private:
    void letEventsThrough(bool now);

    QLabel *m_stage = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_cancelRequested = false;
    bool m_running = false;
    QElapsedTimer m_sinceEvents;
};

} // namespace kx::catalogues

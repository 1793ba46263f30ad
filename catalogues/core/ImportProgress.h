#pragma once

#include "base/Progress.h"

#include <QString>

namespace kx::catalogues {

// What a long catalogue import shows a person while it runs, and how he stops
// it: the stage's text with its own scale (setMaximum/setPosition), and a
// request to stop that the import polls between rows. The window's progress
// dialog lets its events run here, so that its Cancel button can be pressed.
class ImportProgress : public Progress
{
public:
    virtual void setStage(const QString &text) = 0;
    virtual bool cancelRequested() = 0;
    // The work is over, done or not: the display goes before the person is
    // told the outcome.
    virtual void finished() {}
};

} // namespace kx::catalogues

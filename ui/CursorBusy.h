#pragma once

#include "base/Busy.h"

namespace kx::ui {

// The busy cursor as the application's override cursor. Nested shows stack,
// so every restore takes back exactly one show.
class CursorBusy : public BusyIndicator
{
public:
    void show() override;
    void restore() override;
    int depth() const { return m_depth; }

private:
    int m_depth = 0;
};

} // namespace kx::ui

#pragma once

#include "ui/Dialog.h"

namespace kx::shell {

// The About box: icon, product name, version, OK.
class TF_About : public ui::Dialog
{
    Q_OBJECT
public:
    explicit TF_About(QWidget *parent = nullptr);
};

} // namespace kx::shell

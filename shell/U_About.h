#pragma once

#include <QDialog>

namespace kx::shell {

// The About box: icon, product name, version, OK.
class TF_About : public QDialog
{
    Q_OBJECT
public:
    explicit TF_About(QWidget *parent = nullptr);
};

} // namespace kx::shell

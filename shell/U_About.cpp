#include "U_About.h"

#include "ProgramIcon.h"
#include "Version.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kx::shell {

TF_About::TF_About(QWidget *parent) : ui::Dialog("TF_About", ui::Dialog::Frame::Fixed, parent)
{
    setWindowTitle(QStringLiteral("О программе"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(programIcon().pixmap(64, 64));

    auto *product = new QLabel(QStringLiteral("Kalyx - Трасмер"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    product->setFont(bold);

    auto *version = new QLabel(QStringLiteral("V. ") + QString::fromUtf16(kVersionText), this);
    version->setObjectName(QStringLiteral("Version"));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setHorizontalSpacing(16);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(300, 140)));
}

} // namespace kx::shell

#include "U_VPP.h"

#include "catalogues/core/AirportStore.h"
#include "ui/EnterWalk.h"
#include "ui/FormParts.h"

#include "store/Query.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/NumberEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::catalogues {

TF_VPP::TF_VPP(store::Session &session, store::Query &runways, QWidget *parent)
    : ui::Dialog("TF_VPP", ui::Dialog::Frame::Fixed, parent)
    , m_session(session)
    , m_runways(runways)
{
    auto *runwayGroup = ui::form::group(this, "GroupBox1", QStringLiteral("Полоса"));
    m_runway = ui::form::edit(runwayGroup, "PRunway", 10, true);
    m_runway->setAlignment(Qt::AlignCenter);
    ui::skipByTab(m_runway);
    ui::form::bind(m_runway, runways, QStringLiteral("Runway"));
    (new QVBoxLayout(runwayGroup))->addWidget(m_runway);

    auto *beaconGroup = ui::form::group(this, "GroupBox2", QStringLiteral("Частоты приводов"));
    ui::NumberEdit *dprm = numberEdit("PDPRM", 2, 0, 10000, QStringLiteral("DPRM"));
    ui::NumberEdit *bprm = numberEdit("PBPRM", 2, 0, 10000, QStringLiteral("BPRM"));
    ui::form::labelledRows(beaconGroup, {{QStringLiteral("ДПРМ"), dprm}, {QStringLiteral("БПРМ"), bprm}});

    auto *ilsGroup = ui::form::group(this, "GroupBox3", QStringLiteral("ILS"));
    ui::NumberEdit *ilsAngle = numberEdit("PILSA", 0, 1, 360, QStringLiteral("ILSAngle"));
    ui::NumberEdit *ilsFreq = numberEdit("PILSF", 2, 0, 10000, QStringLiteral("ILSFreq"));
    ui::form::labelledRows(ilsGroup, {{QStringLiteral("Курс"), ilsAngle}, {QStringLiteral("Частота"), ilsFreq}});

    auto *rsbnGroup = ui::form::group(this, "GroupBox4", QStringLiteral("Коррекция по РСБН"));
    ui::NumberEdit *uk = numberEdit("PUk", 1, 0.1, 360, QStringLiteral("IZPU_P"));
    ui::NumberEdit *zm = numberEdit("PZm", 1, 0, 100000, QStringLiteral("Zm_P"));
    ui::NumberEdit *sm = numberEdit("PSm", 1, 0, 100000, QStringLiteral("Sm_P"));
    ui::form::labelledRows(rsbnGroup, {{QStringLiteral("ИЗПУ"), uk}, {QStringLiteral("Zm"), zm}, {QStringLiteral("Sm"), sm}});

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("Сохранить"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_VPP::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *left = new QVBoxLayout;
    left->addWidget(runwayGroup);
    left->addWidget(beaconGroup);
    left->addWidget(ilsGroup);
    auto *right = new QVBoxLayout;
    right->addWidget(rsbnGroup);
    right->addStretch();
    right->addLayout(ui::buttonRow({ok, cancel}));
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);

    m_walk = new ui::EnterWalk(this);
    const QList<QWidget *> order{m_runway, dprm, bprm, ilsAngle, ilsFreq, uk, zm, sm, ok};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        m_walk->add(order.at(i), order.at(i + 1));
    ui::setTabOrder({dprm, bprm, ilsAngle, ilsFreq, uk, zm, sm, ok, cancel});

    setFixedSize(420, 260);
}

TF_VPP::~TF_VPP() = default;

ui::NumberEdit *TF_VPP::numberEdit(const char *name, int decimals, double minimum, double maximum,
                                   const QString &column)
{
    ui::NumberEdit *e = ui::form::numberEdit(this, name, decimals, minimum, maximum);
    ui::form::bind(e, m_runways, column);
    return e;
}

void TF_VPP::prepare(const QString &caption, qint64 airport)
{
    setWindowTitle(caption);
    m_airport = airport;
}

int TF_VPP::run(const QString &caption, qint64 airport)
{
    prepare(caption, airport);
    return exec();
}

void TF_VPP::shown()
{
    m_runway->setFocus(Qt::OtherFocusReason);
}

void TF_VPP::save()
{
    const bool saved = saveRunway(m_session, m_runways, m_airport, this);
    QDialog::done(saved ? Accepted : Rejected);
}

void TF_VPP::done(int result)
{
    if (result != Accepted)
        m_runways.cancel();
    QDialog::done(result);
}

} // namespace kx::catalogues

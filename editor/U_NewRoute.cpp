#include "U_NewRoute.h"

#include "editor/core/CatalogueLookup.h"
#include "editor/core/EditorTexts.h"
#include "editor/core/NewRoute.h"
#include "U_PPMSel.h"

#include "base/Prompter.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/EnterWalk.h"
#include "ui/FormParts.h"
#include "ui/PictureSpinBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

const QColor kNotFound(255, 0, 0);

} // namespace

TF_NewRoute::TF_NewRoute(store::Session &session, QWidget *parent, WaypointPicker *picker)
    : ui::Dialog("TF_NewRoute", ui::Dialog::Frame::Fixed, parent)
    , m_session(session)
    , m_picker(picker)
{
    setWindowTitle(texts::newRouteCaption());
    if (!m_picker)
        m_picker = new TF_PPMSel(session, this);

    auto *group = ui::form::group(this, "GroupBox1", QStringLiteral("Маршрут"));
    m_name = ui::form::edit(group, "PName", 100);
    const char *const airportNames[] = {"PAP_V", "PAP_P"};
    const char *const buttonNames[] = {"BAP_V", "BAP_P"};
    const char *const labelNames[] = {"LAP_V", "LAP_P"};
    QPushButton *pick[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        m_airport[i] = ui::form::edit(group, airportNames[i], 10, true);
        pick[i] = ui::namedButton(group, buttonNames[i], QStringLiteral("..."));
        pick[i]->setToolTip(i == 0 ? texts::departureCaption() : texts::arrivalCaption());
        pick[i]->setFixedWidth(32);
        m_airportName[i] = new QLabel(group);
        m_airportName[i]->setObjectName(QString::fromLatin1(labelNames[i]));
        m_airportName[i]->setMinimumWidth(220);
        connect(m_airport[i], &QLineEdit::textChanged, this, [this, i] { airportTyped(i); });
        connect(pick[i], &QPushButton::clicked, this, [this, i] { pickAirport(i); });
    }
    m_fl = new ui::PictureSpinBox(QStringLiteral("### ### ### ###"), group);
    m_fl->setObjectName(QStringLiteral("PFL"));
    m_fl->setRange(0, 99999);
    m_fl->setSingleStep(100);
    m_fl->setAlignment(Qt::AlignRight);

    auto *grid = new QGridLayout(group);
    const struct
    {
        const char *label;
        QWidget *field;
    } rows[] = {{"Наименование", m_name}, {"АП вылета", m_airport[0]}, {"АП посадки", m_airport[1]}, {"Эшелон, м", m_fl}};
    int row = 0;
    for (const auto &r : rows) {
        auto *label = new QLabel(QString::fromUtf8(r.label), group);
        label->setBuddy(r.field);
        grid->addWidget(label, row, 0);
        grid->addWidget(r.field, row, 1, 1, row == 0 ? 3 : 1);
        ++row;
    }
    for (int i = 0; i < 2; ++i) {
        grid->addWidget(pick[i], i + 1, 2);
        grid->addWidget(m_airportName[i], i + 1, 3);
    }
    grid->setColumnStretch(3, 1);

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("Создать"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_NewRoute::create);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(ui::buttonRow({ok, cancel}));

    // Enter walks the fields as in the program's other forms.
    auto *walk = new ui::EnterWalk(this);
    walk->add(m_name, m_airport[0]);
    walk->add(m_airport[0], m_airport[1]);
    walk->add(m_airport[1], m_fl);
    walk->add(m_fl, ok);
    ui::setTabOrder({m_name, m_airport[0], pick[0], m_airport[1], pick[1], m_fl, ok, cancel});
    setFixedSize(sizeHint().expandedTo(QSize(520, 0)));
}

void TF_NewRoute::shown()
{
    m_route = 0;
    m_proposedName.clear();
    m_name->clear();
    for (QLineEdit *e : m_airport)
        e->clear();
    m_fl->setValue(0);
    m_name->setFocus();
}

void TF_NewRoute::airportTyped(int which)
{
    const QString id = m_airport[which]->text().trimmed();
    QLabel *label = m_airportName[which];
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, this->palette().color(QPalette::WindowText));
    if (id.isEmpty()) {
        label->clear();
    } else if (const auto airport = findAirport(m_session, id)) {
        label->setText(airport->name.isEmpty() ? airport->lat + u' ' + airport->lon : airport->name);
    } else {
        // Said in place: the person is still typing.
        label->setText(texts::airportNotFound(id));
        palette.setColor(QPalette::WindowText, kNotFound);
    }
    label->setPalette(palette);
    proposeName();
}

void TF_NewRoute::proposeName()
{
    // The name follows the airports until the person types one of their own.
    if (!m_name->text().isEmpty() && m_name->text() != m_proposedName)
        return;
    const QString dep = m_airport[0]->text().trimmed(), arr = m_airport[1]->text().trimmed();
    m_proposedName = dep.isEmpty() || arr.isEmpty() ? QString() : dep + u'-' + arr;
    m_name->setText(m_proposedName);
}

void TF_NewRoute::pickAirport(int which)
{
    const auto present = findAirport(m_session, m_airport[which]->text().trimmed());
    const qint64 chosen = m_picker->pickWaypoint(present ? WaypointPicker::Mode::Replace : WaypointPicker::Mode::Add,
                                                 which == 0 ? texts::departureCaption() : texts::arrivalCaption(),
                                                 present ? present->code : 0);
    if (chosen == 0)
        return;
    const auto waypoint = waypointByCode(m_session, chosen);
    if (!waypoint)
        return;
    if (waypoint->type.toString().compare(QLatin1String("Airport"), Qt::CaseInsensitive) != 0) {
        m_session.prompter().error(this, texts::notAnAirport(waypoint->id));
        return;
    }
    m_airport[which]->setText(waypoint->id);
    m_airport[which]->setFocus();
}

void TF_NewRoute::create()
{
    const NewRouteEntry entry{m_name->text(), m_airport[0]->text(), m_airport[1]->text(), m_fl->value()};
    int field = 0;
    const QString problem = newRouteProblem(m_session, entry, &field);
    if (!problem.isEmpty()) {
        m_session.prompter().error(this, problem);
        QWidget *const fields[] = {m_name, m_airport[0], m_airport[1], m_fl};
        fields[field]->setFocus();
        return;
    }
    m_route = createRoute(m_session, this, entry);
    if (m_route != 0)
        accept();
}

} // namespace kx::editor

#include "U_PSH.h"

#include "editor/core/RouteStatus.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/PushButton.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "interchange/ExportNvu.h"
#include "interchange/InterchangeTexts.h"
#include "store/Session.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

constexpr int kRows = 5;

namespace texts = interchange::texts;

// A click on a cell's description chooses the cell, as a click on its button does.
class ClickChooses : public QObject
{
public:
    ClickChooses(QPushButton *button, QObject *parent) : QObject(parent), m_button(button) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && m_button->isEnabled()) {
            m_button->click();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton *m_button;
};

QString describe(const interchange::NvuCellContents &cell)
{
    using State = interchange::NvuCellContents::State;
    if (cell.state == State::Missing)
        return texts::cellMissing();
    QString what;
    switch (cell.state) {
    case State::Unreadable:
        what = texts::cellNotRecognised();
        break;
    case State::Empty:
        what = texts::cellWithoutRoute();
        break;
    default:
        what = cell.routeName.isEmpty() ? texts::cellPoints(cell.points) : cell.routeName;
        break;
    }
    return dateTimeText(cell.modified) + u'\n' + what;
}

} // namespace

TF_PSH::TF_PSH(store::Session &session, QWidget *parent)
    : ui::Dialog("TF_PSH", ui::Dialog::Frame::Closable, parent)
    , m_session(session)
{
    setWindowTitle(QStringLiteral("Экспорт в ПШ"));

    auto *group = new QGroupBox(QStringLiteral("Укажите номер ячейки для экспорта"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(group);
    grid->setSpacing(4);
    m_cells = new QButtonGroup(this);
    m_cells->setExclusive(true);
    for (int cell = 1; cell <= interchange::kNvuCellCount; ++cell) {
        auto *tile = new QFrame(group);
        tile->setAutoFillBackground(true);
        auto *button = new ui::PushButton(QString::number(cell), tile);
        button->setObjectName(QStringLiteral("B%1").arg(cell, 2, 10, QChar(u'0')));
        button->setCheckable(true);
        button->setFixedSize(40, 28);
        QFont bold = button->font();
        bold.setBold(true);
        button->setFont(bold);
        auto *label = new QLabel(tile);
        label->setObjectName(QStringLiteral("L%1").arg(cell, 2, 10, QChar(u'0')));
        // Room for a date and time, and for a route name of about as many letters.
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 12);
        label->setTextFormat(Qt::PlainText);
        label->installEventFilter(new ClickChooses(button, label));
        auto *row = new QHBoxLayout(tile);
        row->setContentsMargins(3, 3, 3, 3);
        row->addWidget(button, 0, Qt::AlignVCenter);
        row->addWidget(label);
        m_cells->addButton(button, cell);
        m_tiles.append(tile);
        m_labels.append(label);
        grid->addWidget(tile, (cell - 1) % kRows, (cell - 1) / kRows);
    }
    m_cells->button(1)->setChecked(true);
    connect(m_cells, &QButtonGroup::idClicked, this, [this](int cell) {
        m_cell = cell;
        highlightChosen();
    });

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("OK"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_PSH::exportChosenCell);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    highlightChosen();
}

void TF_PSH::exportFor(QWidget *editor)
{
    prepare(editor);
    exec();
}

void TF_PSH::shown()
{
    m_cell = m_cells->checkedId();
    describeCells();
    highlightChosen();
}

QString TF_PSH::cellText(int cell) const { return m_descriptions.value(cell - 1); }

void TF_PSH::describeCells()
{
    BusyGuard busy(m_session.busy());
    const QList<interchange::NvuCellContents> cells = interchange::readNvuCells(m_session);
    m_descriptions.clear();
    m_empty.clear();
    for (int i = 0; i < m_labels.size(); ++i) {
        QLabel *label = m_labels.at(i);
        const QString text = describe(cells.value(i));
        m_descriptions << text;
        m_empty << (cells.value(i).state == interchange::NvuCellContents::State::Missing);
        // A long route name is cut to the cell's width; the whole of it, and
        // the file, are in the tooltip.
        const QStringList lines = text.split(u'\n');
        QStringList shown;
        for (const QString &line : lines)
            shown << label->fontMetrics().elidedText(line, Qt::ElideRight, label->maximumWidth());
        label->setText(shown.join(u'\n'));
        const QString path = QDir::toNativeSeparators(interchange::nvuCellPath(m_session.settings.fsPath, i + 1));
        label->setToolTip(text + u'\n' + path);
        m_tiles.at(i)->setToolTip(label->toolTip());
    }
}

// The chosen cell in the selection colour, the others as the window is.
void TF_PSH::highlightChosen()
{
    const int chosen = m_cells->checkedId();
    for (int i = 0; i < m_tiles.size(); ++i) {
        QFrame *tile = m_tiles.at(i);
        QPalette palette = this->palette();
        if (i + 1 == chosen) {
            palette.setColor(QPalette::Window, palette.color(QPalette::Active, QPalette::Highlight));
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Active, QPalette::HighlightedText));
        }
        tile->setPalette(palette);
        // An empty cell is said in grey, so that the cells holding a route stand out.
        if (i + 1 != chosen && m_empty.value(i))
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText));
        m_labels.at(i)->setPalette(palette);
    }
}

void TF_PSH::exportChosenCell()
{
    const int cell = m_cell;
    if (cell >= 1 && cell <= interchange::kNvuCellCount) {
        store::Query qp(m_session.ADOC, QStringLiteral("QP"));
        if (interchange::ExportNVU(m_session, qp, cell, m_editor, this))
            m_session.prompter().info(m_editor, interchange::texts::withWrittenFile(
                                                    interchange::texts::cellExportDone(cell),
                                                    interchange::nvuCellPath(m_session.settings.fsPath, cell)));
    }
    accept();
}

} // namespace kx::editor

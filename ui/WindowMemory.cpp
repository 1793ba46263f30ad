#include "WindowMemory.h"

#include "WindowGeometry.h"

#include "base/IniFile.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace kx::ui {
namespace {

constexpr int kWidest = 4000; // wider than any screen: not a width the person left

QString section() { return QString::fromLatin1(WindowMemory::kSection); }

} // namespace

GridWidths::GridWidths(QTableView *grid, QList<int> fillColumns)
    : QObject(grid)
    , m_grid(grid)
    , m_viewport(grid->viewport())
    , m_fill(std::move(fillColumns))
{
    for (const int column : std::as_const(m_fill))
        m_base.insert(column, grid->columnWidth(column));
    grid->viewport()->installEventFilter(this);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, &GridWidths::columnResized);
}

QString GridWidths::text() const
{
    QStringList widths;
    const int columns = m_grid->horizontalHeader()->count();
    for (int c = 0; c < columns; ++c) {
        const int width = m_base.contains(c) ? m_base.value(c) : m_grid->columnWidth(c);
        widths << QString::number(width);
    }
    return widths.join(u',');
}

bool GridWidths::setText(const QString &text)
{
    const QStringList parts = text.split(u',');
    const int columns = m_grid->horizontalHeader()->count();
    if (parts.size() != columns)
        return false;
    QList<int> widths;
    for (const QString &part : parts) {
        bool ok = false;
        const int width = part.trimmed().toInt(&ok);
        if (!ok || width < 0 || width > kWidest)
            return false;
        widths << width;
    }
    m_filling = true;
    for (int c = 0; c < columns; ++c) {
        if (m_grid->isColumnHidden(c))
            continue;
        const int width = std::max(widths.at(c), m_grid->horizontalHeader()->minimumSectionSize());
        if (m_base.contains(c))
            m_base[c] = width;
        m_grid->setColumnWidth(c, width);
    }
    m_filling = false;
    fillRoom();
    return true;
}

bool GridWidths::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && event->type() == QEvent::Resize)
        fillRoom();
    return QObject::eventFilter(watched, event);
}

void GridWidths::fillRoom()
{
    if (m_fill.isEmpty() || m_filling)
        return;
    int others = 0;
    int bases = 0;
    int fills = 0;
    const int columns = m_grid->horizontalHeader()->count();
    for (int c = 0; c < columns; ++c) {
        if (m_grid->isColumnHidden(c))
            continue;
        if (m_base.contains(c)) {
            bases += m_base.value(c);
            ++fills;
        } else {
            others += m_grid->columnWidth(c);
        }
    }
    if (fills == 0)
        return;
    const int room = std::max(0, m_grid->viewport()->width() - others - bases);
    m_filling = true;
    int left = room;
    for (const int column : std::as_const(m_fill)) {
        if (m_grid->isColumnHidden(column))
            continue;
        const int share = left == room ? room / fills + room % fills : room / fills;
        left -= share;
        m_grid->setColumnWidth(column, m_base.value(column) + share);
    }
    m_filling = false;
}

void GridWidths::columnResized(int column, int oldWidth, int newWidth)
{
    if (m_filling)
        return;
    if (m_base.contains(column)) {
        // The person's drag moves the base by as much as it moved the column.
        m_base[column] =
            std::max(m_grid->horizontalHeader()->minimumSectionSize(), m_base.value(column) + newWidth - oldWidth);
    }
    fillRoom();
}

WindowMemory::WindowMemory(QWidget *window, QString prefix) : m_window(window), m_prefix(std::move(prefix)) { }

WindowMemory::~WindowMemory() = default;

void WindowMemory::addGrid(QTableView *grid, QList<int> fillColumns, const QString &key)
{
    m_grids.append({new GridWidths(grid, std::move(fillColumns)), key});
}

void WindowMemory::restore(const QString &iniPath)
{
    IniFile ini;
    if (!ini.load(iniPath))
        return;
    for (const Grid &grid : std::as_const(m_grids))
        grid.widths->setText(ini.readString(section(), m_prefix + grid.key));
    // Only a window that was saved is placed: one that never was opens where
    // it always opened, a dialog over its owner.
    if (ini.readInteger(section(), m_prefix + QStringLiteral("Width"), 0) > 0)
        WindowGeometry(iniPath, section(), m_prefix).restore(m_window);
}

bool WindowMemory::save(const QString &iniPath) const
{
    if (!WindowGeometry(iniPath, section(), m_prefix).save(m_window))
        return false;
    if (m_grids.isEmpty())
        return true;
    IniFile ini;
    if (!ini.load(iniPath))
        return false;
    for (const Grid &grid : std::as_const(m_grids))
        ini.writeString(section(), m_prefix + grid.key, grid.widths->text());
    return ini.save(iniPath);
}

} // namespace kx::ui

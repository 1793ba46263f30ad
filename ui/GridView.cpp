#include "GridView.h"

#include "ListModel.h"

#include "store/Query.h"

#include <QHelpEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace kx::ui {
namespace {

class StyledRowDelegate : public QStyledItemDelegate
{
public:
    explicit StyledRowDelegate(GridView *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        // The focus rectangle of a single cell would contradict the whole-row look.
        opt.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, opt, index);
    }

    // A text cut short with an ellipsis shows whole in a tooltip.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        QStyle *style = view->style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, view);
        // The item view draws its text this far from the cell's sides.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int room = textRect.width() - 2 * margin;
        if (!opt.text.isEmpty() && opt.fontMetrics.horizontalAdvance(opt.text) > room) {
            QToolTip::showText(event->globalPos(), opt.text, view->viewport(), option.rect);
        } else {
            QToolTip::hideText();
        }
        return true;
    }

protected:
    // paint() fills the option afresh from the model, so the row's colours are
    // set here, where they survive into the drawing.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const CellStyler &styler = m_grid->cellStyler();
        if (!styler)
            return;
        const bool selected = option->state & QStyle::State_Selected;
        const CellColors colors = styler(index.row(), index.column(), selected, m_grid->hasFocus());
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            if (colors.background.isValid())
                option->palette.setColor(group, selected ? QPalette::Highlight : QPalette::Base, colors.background);
            if (colors.text.isValid())
                option->palette.setColor(group, selected ? QPalette::HighlightedText : QPalette::Text, colors.text);
        }
        if (colors.background.isValid() && !selected)
            option->backgroundBrush = colors.background;
    }

private:
    GridView *m_grid;
};

} // namespace

GridView::GridView(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setItemDelegate(new StyledRowDelegate(this));
}

void GridView::setList(store::Query &list, const GridColumns &columns)
{
    m_list = &list;
    auto *old = m_model;
    m_model = new ListModel(list, columns, this);
    m_model->setTitleColor(m_titleColor);
    setModel(m_model);
    delete old;
    for (int i = 0; i < columns.size(); ++i)
        setColumnHidden(i, columns.at(i).hidden);
    connect(&list, &store::Query::currentRowChanged, this, &GridView::followList);
    connect(&list, &store::Query::reset, this, [this] { followList(m_list->currentIndex()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &GridView::followView);
    followList(list.currentIndex());
}

void GridView::setCellStyler(CellStyler styler)
{
    m_styler = std::move(styler);
    viewport()->update();
}

void GridView::setColumnWidths(std::initializer_list<std::pair<int, int>> widths)
{
    for (const auto &[column, width] : widths)
        setColumnWidth(column, width);
}

void GridView::setTitleColor(const QColor &color)
{
    m_titleColor = color;
    if (m_model)
        m_model->setTitleColor(color);
}

void GridView::followList(int row)
{
    if (m_syncing || !m_model)
        return;
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    m_syncing = false;
}

void GridView::followView(const QModelIndex &current)
{
    if (m_syncing || !m_list || !current.isValid())
        return;
    m_syncing = true;
    m_list->setRowNumber(current.row() + 1);
    m_syncing = false;
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
        && isSignalConnected(QMetaMethod::fromSignal(&GridView::chosen))) {
        emit chosen();
        return;
    }
    QTableView::keyPressEvent(event);
}

// A click below the last row would clear the selection while the list keeps
// its current row; the row stays selected, as the two are one.
void GridView::mousePressEvent(QMouseEvent *event)
{
    if (indexAt(event->position().toPoint()).isValid()) {
        QTableView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (indexAt(event->position().toPoint()).isValid())
        QTableView::mouseDoubleClickEvent(event);
    else
        event->accept();
    if (event->button() == Qt::LeftButton)
        emit chosen();
}

void GridView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update(); // colours depend on the focus
}

void GridView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

} // namespace kx::ui

#include "GridView.h"

#include "GridCopy.h"

#include "ListModel.h"

#include "store/Query.h"

#include <QApplication>
#include <QHash>
#include <QHelpEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <QToolTip>

namespace kx::ui {
namespace {

class StyledRowDelegate : public QStyledItemDelegate
{
public:
    explicit StyledRowDelegate(GridView *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    // A cell of a grid is a fill and a line of text: drawn here as the style
    // would draw it, without the style's general item layout, which measures
    // and lays out every text twice over and made a screen of a grid the
    // slowest part of moving through a catalogue. No focus rectangle of a
    // single cell: it would contradict the whole-row look.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
            group = QPalette::Inactive;
        const bool selected = opt.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(opt.rect, opt.palette.brush(group, QPalette::Highlight));
        else if (opt.backgroundBrush.style() != Qt::NoBrush)
            painter->fillRect(opt.rect, opt.backgroundBrush);
        if (opt.text.isEmpty())
            return;
        const int margin = textMargin(opt.widget);
        const QRect room = opt.rect.adjusted(margin, 0, -margin, 0);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const QStaticText &text = laidOut(opt.text, opt.font);
        const QSizeF size = text.size();
        if (size.width() > room.width()) {
            painter->drawText(room, static_cast<int>(opt.displayAlignment) | Qt::TextSingleLine,
                              opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, room.width()));
        } else {
            const Qt::Alignment h = opt.displayAlignment & Qt::AlignHorizontal_Mask;
            const qreal x = h & Qt::AlignHCenter ? room.left() + (room.width() - size.width()) / 2
                : h & Qt::AlignRight             ? room.right() + 1 - size.width()
                                                 : room.left();
            painter->drawStaticText(QPointF(x, room.top() + (room.height() - size.height()) / 2), text);
        }
        painter->restore();
    }

    // A text laid out once for the grid's font: a grid shows the same texts
    // again at every scroll and repaint, and laying out a text is most of
    // drawing it.
    const QStaticText &laidOut(const QString &text, const QFont &font) const
    {
        if (font != m_font || m_texts.size() > kLaidOutTexts) {
            m_texts.clear();
            m_font = font;
        }
        auto it = m_texts.find(text);
        if (it == m_texts.end()) {
            QStaticText laid(text);
            laid.setTextFormat(Qt::PlainText);
            laid.setPerformanceHint(QStaticText::AggressiveCaching);
            laid.prepare(QTransform(), font);
            it = m_texts.insert(text, laid);
        }
        return *it;
    }

    // The item view draws its text this far from the cell's sides.
    static int textMargin(const QWidget *view)
    {
        const QStyle *style = view ? view->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    }

    // A text cut short with an ellipsis shows whole in a tooltip.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const int room = opt.rect.width() - 2 * textMargin(view);
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
    static constexpr qsizetype kLaidOutTexts = 8192;

    GridView *m_grid;
    mutable QHash<QString, QStaticText> m_texts;
    mutable QFont m_font;
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
    connect(&list, &store::Query::currentRowChanged, this, [this](int row) { followList(row, EnsureVisible); });
    // A list read afresh may hold rows above its current one to scroll back to.
    connect(&list, &store::Query::reset, this, [this] { followList(m_list->currentIndex(), PositionAtCenter); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &GridView::followView);
    followList(list.currentIndex(), EnsureVisible);
}

void GridView::fetchAbove()
{
    if (!m_list || !m_list->canFetchMore(store::Query::Edge::Top))
        return;
    const int firstShown = rowAt(0);
    const int before = m_model->rowCount();
    if (!m_list->fetchMore(store::Query::Edge::Top)) {
        qWarning("%s: %s", qPrintable(m_list->name()), qPrintable(m_list->lastError()));
        return;
    }
    // The rows in sight stay where they were; the new ones are above them.
    const int added = m_model->rowCount() - before;
    if (added > 0 && firstShown >= 0)
        scrollTo(m_model->index(firstShown + added, 0), PositionAtTop);
}

void GridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // Not in the middle of the scroll bar's own change: once it is done.
    if (dy > 0 && verticalScrollBar()->value() == verticalScrollBar()->minimum())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (verticalScrollBar()->value() == verticalScrollBar()->minimum())
                    fetchAbove();
            },
            Qt::QueuedConnection);
}

void GridView::wheelEvent(QWheelEvent *event)
{
    // At the top the scroll bar cannot move, so nothing else would ask.
    if (event->angleDelta().y() > 0 && verticalScrollBar()->value() == verticalScrollBar()->minimum())
        fetchAbove();
    QTableView::wheelEvent(event);
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

void GridView::followList(int row, ScrollHint hint)
{
    if (m_syncing || !m_model)
        return;
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index, hint);
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
    // Ctrl+C copies the selected rows with their titles, not one cell's text.
    if (event->matches(QKeySequence::Copy)) {
        copySelectedRows(*this);
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier && isSignalConnected(QMetaMethod::fromSignal(&GridView::chosen))) {
        emit chosen();
        return;
    }
    // The list's own first and last rows, which a paged list may not hold yet.
    if (m_list && modifiers == Qt::ControlModifier && (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
        if (event->key() == Qt::Key_Home)
            m_list->first();
        else
            m_list->last();
        return;
    }
    // Rows above the first one held come in before the cursor moves up to them.
    if (m_list && (event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp)) {
        const int step = event->key() == Qt::Key_Up ? 1 : std::max(1, viewport()->height() / std::max(1, rowHeight(0)));
        if (m_list->currentIndex() - step < 0)
            fetchAbove();
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

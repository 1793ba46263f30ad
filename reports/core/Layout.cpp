#include "Layout.h"

#include <QPageSize>

namespace kx::reports {

QPageLayout PageSetup::pageLayout() const
{
    const bool landscape = width > height;
    const QSizeF portrait(qMin(width, height), qMax(width, height));
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                       QPageLayout::Millimeter);
}

PageSetup PageSetup::fromPageLayout(const QPageLayout &layout)
{
    PageSetup page;
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    page.width = full.width();
    page.height = full.height();
    page.margins = layout.margins(QPageLayout::Millimeter);
    return page;
}

QString bandKindName(BandKind kind)
{
    switch (kind) {
    case BandKind::Title:
        return QStringLiteral("title");
    case BandKind::PageHeader:
        return QStringLiteral("page-header");
    case BandKind::Header:
        return QStringLiteral("header");
    case BandKind::Data:
        return QStringLiteral("data");
    case BandKind::Summary:
        return QStringLiteral("summary");
    case BandKind::PageFooter:
        return QStringLiteral("page-footer");
    }
    return QString();
}

} // namespace kx::reports

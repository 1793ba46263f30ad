#include "RouteSheetDocument.h"

#include "PagePainter.h"
#include "ReportTexts.h"

#include "base/FileName.h"

#include <QPagedPaintDevice>

namespace kx::reports {

RouteSheetDocument::RouteSheetDocument(Layout layout, ReportInput input)
    : m_layout(std::move(layout))
    , m_input(std::move(input))
{ }

QString RouteSheetDocument::fileName() const
{
    return routeFileName(m_input.variables.value(QStringLiteral("Name")).toString(), QStringLiteral(".pdf"));
}

bool RouteSheetDocument::paint(QPagedPaintDevice &device, QString *why, QString *note) const
{
    // The layout was prepared once before the preview opened, so it is known
    // to succeed; preparing it again only follows the paper.
    PreparedReport prepared;
    const PageSetup page = PageSetup::fromPageLayout(device.pageLayout());
    if (!prepareReport(m_layout, m_input, page, prepared, why) || !paintReport(prepared, device, why))
        return false;
    // A sheet made smaller for the paper is said so, not left to be noticed.
    if (note)
        *note = prepared.scale < 0.995 ? texts::sheetScaledDown(qRound(prepared.scale * 100)) : QString();
    return true;
}

bool RouteSheetDocument::writePdf(const QString &path, const QPageLayout &layout, QString *why) const
{
    PreparedReport prepared;
    const PageSetup page = PageSetup::fromPageLayout(layout);
    return prepareReport(m_layout, m_input, page, prepared, why) && reports::writePdf(prepared, path, why);
}

} // namespace kx::reports

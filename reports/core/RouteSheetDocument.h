#pragma once

#include "Layout.h"
#include "PreviewDocument.h"
#include "ReportBuilder.h"

namespace kx::reports {

// The route sheet as the print preview shows, prints and saves it: laid out
// again on whatever paper the printer has, so what is shown is what prints.
// On paper narrower than the sheet it is made smaller, whole, and the note
// says by how much.
class RouteSheetDocument : public PreviewDocument
{
public:
    RouteSheetDocument(Layout layout, ReportInput input);

    QPageLayout pageLayout() const override { return m_layout.page.pageLayout(); }
    QString title() const override { return m_layout.title; }
    QString fileName() const override;
    bool paint(QPagedPaintDevice &device, QString *why, QString *note) const override;
    bool writePdf(const QString &path, const QPageLayout &page, QString *why) const override;

private:
    Layout m_layout;
    ReportInput m_input;
};

} // namespace kx::reports

#pragma once

#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

namespace kx::reports {

// What the print preview shows, prints and saves as PDF: pages painted on
// whatever paper the printer has. The route sheet is one (RouteSheetDocument),
// the route map another.
class PreviewDocument
{
public:
    virtual ~PreviewDocument() = default;

    // The paper it is made for; the preview starts with it.
    virtual QPageLayout pageLayout() const = 0;
    // The print job's name.
    virtual QString title() const = 0;
    // The file name the PDF dialog proposes.
    virtual QString fileName() const = 0;
    // Paints every page on the device's own paper; *note is what the preview
    // should tell about the pages on this paper (empty: nothing).
    [[nodiscard]] virtual bool paint(QPagedPaintDevice &device, QString *why, QString *note) const = 0;
    // Writes the pages as a PDF file on this paper; the file appears only
    // complete.
    [[nodiscard]] virtual bool writePdf(const QString &path, const QPageLayout &page, QString *why) const = 0;
};

} // namespace kx::reports

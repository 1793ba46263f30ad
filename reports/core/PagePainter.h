#pragma once

#include "PreparedReport.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace kx::reports {

// Paints one prepared page. The painter's origin is the top left corner of the
// printing area; dotsPerMm converts millimetres into the device's units, and
// scale makes the page's positions, sizes and fonts smaller on the device
// (line widths stay in points). A text never crosses the frame of its cell: a
// line too long for it ends in an ellipsis.
void paintPage(QPainter &painter, const PreparedPage &page, double dotsPerMmX, double dotsPerMmY, double scale = 1);

// Paints every page onto a printer, a PDF writer or the preview's printer, on
// the page layout the device has (its printing area's corner is the origin),
// at the report's scale.
// The one way a report reaches paper, PDF and screen.
[[nodiscard]] bool paintReport(const PreparedReport &report, QPagedPaintDevice &device, QString *error = nullptr);

// Writes the report as a PDF file on the report's own page; the file appears
// only when complete (written under a temporary name, then renamed).
[[nodiscard]] bool writePdf(const PreparedReport &report, const QString &path, QString *error = nullptr);

} // namespace kx::reports

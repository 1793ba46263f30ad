#pragma once

#include "Layout.h"
#include "NameCheck.h"
#include "PreparedReport.h"
#include "ReportInput.h"

#include <QString>

namespace kx::reports {

// How much work a report may take; a layout that needs more is refused, so
// that a hostile or mistaken layout cannot hang the program or exhaust its
// memory. The delivered route sheet of a 99-leg route needs a few thousand
// items on one or two pages.
struct ReportLimits
{
    static constexpr int kMaxPages = 500;
    static constexpr qint64 kMaxItems = 100'000;        // objects on the pages, all pages together
    static constexpr qint64 kMaxWork = 2'000'000;       // objects laid out and expression steps evaluated
    static constexpr qint64 kMaxTextChars = 10'000'000; // characters of the texts made
};

// Lays the report out into pages: the title at the top of the first page, the
// page header and footer on every page, each header before its data band (and
// again on every page its data continues on when it repeats), one data band
// per row, and the summary after the data. A band that does not fit on the
// rest of a page starts the next one; a header is kept with the first row.
//
// Fails, with *error set ("строка 12: ..."), when checkNames fails, when a
// text cannot be evaluated (division by zero, a text where a number is
// needed), or when the report would exceed ReportLimits.
[[nodiscard]] bool prepareReport(const Layout &layout, const ReportInput &input, PreparedReport &out,
                                 QString *error = nullptr);

// The same on another page (a printer's paper and margins after page setup).
// A printing area narrower than the layout's takes the whole sheet made
// smaller to its width (out.scale), never a sheet cut at the right; the pages
// then hold as many bands as the smaller sheet lets fit.
[[nodiscard]] bool prepareReport(const Layout &layout, const ReportInput &input, const PageSetup &page,
                                 PreparedReport &out, QString *error = nullptr);

} // namespace kx::reports

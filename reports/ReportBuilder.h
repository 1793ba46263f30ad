#pragma once

#include "Layout.h"
#include "PreparedReport.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

namespace kx::reports {

// What a report is filled with: named variables and named datasets, each a
// list of rows (column name → value; Null stays Null).
struct ReportInput
{
    QVariantMap variables;
    QMap<QString, QList<QVariantMap>> datasets;
};

// Lays the report out into pages: the title at the top of the first page, the
// page header and footer on every page, each header before its data band (and
// again on every page its data continues on when it repeats), one data band
// per row, and the summary after the data. A band that does not fit on the
// rest of a page starts the next one; a header is kept with the first row.
//
// Fails, with *error set, when a data band names a dataset that was not handed
// over or a text cannot be evaluated (an unknown name, division by zero).
bool prepareReport(const Layout &layout, const ReportInput &input, PreparedReport &out, QString *error = nullptr);

// The same on another page (a printer's paper and margins after page setup).
// A printing area narrower than the layout's takes the whole sheet made
// smaller to its width (out.scale), never a sheet cut at the right; the pages
// then hold as many bands as the smaller sheet lets fit.
bool prepareReport(const Layout &layout, const ReportInput &input, const PageSetup &page, PreparedReport &out,
                   QString *error = nullptr);

} // namespace kx::reports

#pragma once

#include "Layout.h"
#include "ReportInput.h"

#include <QString>

namespace kx::reports {

// Checks, before any row is printed, that every data band names a dataset
// that is handed over and every name in every text is a variable or a field
// in reach (the fields of the data bands around it). Fails with the line.
[[nodiscard]] bool checkNames(const Layout &layout, const ReportInput &input, QString *error = nullptr);

} // namespace kx::reports

#pragma once

#include "Layout.h"

#include <QString>

namespace kx::reports {

// The layout file of the route sheet, beside the program, read at every print.
inline constexpr char kLayoutFileName[] = "pp.fr3";

// Subreports nested deeper than this are refused.
inline constexpr int kMaxSubReportDepth = 8;

// Reads a layout in the program's own text format (docs/pp.fr3.md describes
// it). On failure returns false and sets *error to a one-line description with
// the line number ("строка 12: ..."); the layout is left unchanged. Any text
// gives a layout or such a description, in time linear in its length: the
// nesting of subreports and expressions is bounded.
[[nodiscard]] bool parseLayout(const QString &text, Layout &layout, QString *error = nullptr);

// Reads the layout file (UTF-8). Fails when the file is missing, unreadable,
// not UTF-8 or not a valid layout.
[[nodiscard]] bool loadLayout(const QString &path, Layout &layout, QString *error = nullptr);

} // namespace kx::reports

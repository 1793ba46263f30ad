#pragma once

#include <QtTest>

// Some tests look at what the program wrote through tools of the build
// machine: poppler's pdftotext, pdfinfo and pdffonts, the sqlite3 shell,
// cmake. A cross-built test runs on another system (the Windows build under
// Wine) and cannot start them, so there the rest of such a test is skipped;
// the same test built natively runs them all.
#ifdef KX_CROSS_BUILT
#define KX_NEEDS_BUILD_MACHINE_TOOL(tool) QSKIP(tool " belongs to the build machine: a cross-built test cannot start it")
#else
#define KX_NEEDS_BUILD_MACHINE_TOOL(tool) static_cast<void>(0)
#endif

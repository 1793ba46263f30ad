#pragma once

#include <QString>

namespace kx {

// Paths into the simulator are the simulator folder, exactly as stored (with its
// trailing separator), followed by a relative path written with "\" as in FS9's
// documentation, e.g. simPath(fs, "Scenery\\BASE\\Scenery\\magdec.bgl").
// The relative part gets the native separator. Where the file system tells
// letter case apart (FS9 under Wine), each relative component that exists under
// another case is taken with the case found on disk, so "scenery/base" is found
// as well as "Scenery/BASE". A missing component is kept as written.
QString simPath(const QString &fsPath, const QString &relative);

// A folder path with the native separator at its end (added unless present).
QString withTrailingSeparator(const QString &folder);

// The native separator as text.
QString nativeSeparator();

} // namespace kx

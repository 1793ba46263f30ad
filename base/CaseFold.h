#pragma once

#include <QString>
#include <QStringView>

namespace kx {

// A text with every code point replaced by its simple case fold, one code point
// for one: the same fold by which Qt compares texts without regard to letter
// case, so two texts compare equal that way exactly when their folds are equal.
// Used as a hash key where lookups must agree with such comparisons.
QString caseFolded(QStringView text);

} // namespace kx

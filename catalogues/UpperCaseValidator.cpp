#include "UpperCaseValidator.h"

namespace kx::catalogues {

QValidator::State UpperCaseValidator::validate(QString &input, int &) const
{
    input = input.toUpper();
    return Acceptable;
}

} // namespace kx::catalogues

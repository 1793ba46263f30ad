#include "UpperCaseValidator.h"

namespace kx::ui {

QValidator::State UpperCaseValidator::validate(QString &input, int &) const
{
    input = input.toUpper();
    return Acceptable;
}

} // namespace kx::ui

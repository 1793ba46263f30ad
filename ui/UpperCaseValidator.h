#pragma once

#include <QValidator>

namespace kx::ui {

// Turns letters into capitals as they are typed (idents, regions, runways).
class UpperCaseValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace kx::ui

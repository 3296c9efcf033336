#pragma once
// Puts the full-width digits ０-９ that a Japanese input method types into an entry field as the
// digits 0-9, as they are typed: the field shows what will be stored, and seven full-width digits
// no longer run past its edge. Every other character stays for "入力" to refuse.

#include <QValidator>

class AsciiDigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

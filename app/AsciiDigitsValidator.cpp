#include "app/AsciiDigitsValidator.h"

#include "entry/EntryFields.h"

QValidator::State AsciiDigitsValidator::validate(QString& input, int&) const
{
    // One character for one: the cursor stays where it is.
    input = QString::fromStdString(tolvi::withAsciiDigits(input.toStdString()));
    return Acceptable;
}

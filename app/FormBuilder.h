#pragma once
// Makes the main window's controls from the design table of its edition (design/FormDesign.h).

#include "design/WindowDesign.h"

class QWidget;

class FormBuilder {
public:
    // Makes every control of the edition's design on `client`, the window's client area, and on
    // the panels made there, in the table's order and at the design values. Closed panels and
    // hidden controls start so; labels, pictures and frames lie below every sibling that is a
    // control of its own.
    static void build(QWidget* client, tolvi::Edition edition);
};

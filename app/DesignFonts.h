#pragma once
// The installed faces drawn in place of the faces the window was designed with. Sizes are
// character heights in pixels, as the design gives them, so they stay the same whatever the
// screen's dots per inch.

#include "design/FormDesign.h"

#include <QFont>

class DesignFonts {
public:
    static QFont font(const tolvi::DesignFont& design);
    // The installed family drawn for a design face.
    static QString family(tolvi::FontFace face);
};

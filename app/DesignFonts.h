#pragma once
// The faces the window was designed with, and the installed faces drawn in their place.
// Sizes are character heights in pixels, as the layout gives them, so they stay the same
// whatever the screen's dots per inch.

#include <QFont>

class DesignFonts {
public:
    enum class Face {
        PGothic,        // "ＭＳ Ｐゴシック", the window's default
        Gothic,         // "ＭＳ ゴシック", fixed pitch
        PMincho,        // "ＭＳ Ｐ明朝"
        HeiseiMinchoW7, // "ＤＦ平成明朝体W7", a heavy Mincho
        Gyosho,         // "@ＤＦ行書体", a brush script
        TokuGothic,     // "ＤＨＰ特太ゴシック体", an extra-bold proportional Gothic
        JSGothic,       // "ＪＳゴシック", fixed pitch
    };

    static QFont font(Face face, int pixelHeight, bool bold = false);
    // The installed family drawn for a design face.
    static QString family(Face face);
};

#include "app/DesignFonts.h"

using Face = tolvi::FontFace;

QString DesignFonts::family(Face face)
{
    switch (face) {
    case Face::Gothic:
    case Face::JSGothic: return QStringLiteral("IPAGothic");
    case Face::PMincho:
    case Face::HeiseiMinchoW7:
    case Face::Gyosho:
        // IPA has no brush script; its Mincho is the nearest in stroke.
        return QStringLiteral("IPAPMincho");
    case Face::PGothic:
    case Face::TokuGothic: break;
    }
    return QStringLiteral("IPAPGothic");
}

QFont DesignFonts::font(const tolvi::DesignFont& design)
{
    const Face face = design.face;
    QFont result(family(face));
    result.setPixelSize(design.pixelHeight);
    // The display faces are heavy by design; the IPA faces have one weight, so Qt emboldens them.
    const bool heavyFace = face == Face::HeiseiMinchoW7 || face == Face::TokuGothic;
    result.setBold(design.bold || heavyFace);
    // The brush script is a narrow face: the hit panel's number, three digits at 96 px, fits its
    // box of 147 px beside the panel's "OK". The Mincho standing in for it is drawn condensed to
    // the same width, or the number would run under the button.
    if (face == Face::Gyosho)
        result.setStretch(QFont::Condensed);
    result.setStyleHint(face == Face::PMincho || face == Face::HeiseiMinchoW7 || face == Face::Gyosho
                            ? QFont::Serif
                            : QFont::SansSerif);
    return result;
}

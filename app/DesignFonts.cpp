#include "app/DesignFonts.h"

QString DesignFonts::family(Face face)
{
    switch (face) {
    case Face::Gothic:
    case Face::JSGothic:
        return QStringLiteral("IPAGothic");
    case Face::PMincho:
    case Face::HeiseiMinchoW7:
    case Face::Gyosho:
        // IPA has no brush script; its Mincho is the nearest in stroke.
        return QStringLiteral("IPAPMincho");
    case Face::PGothic:
    case Face::TokuGothic:
        break;
    }
    return QStringLiteral("IPAPGothic");
}

QFont DesignFonts::font(Face face, int pixelHeight, bool bold)
{
    QFont result(family(face));
    result.setPixelSize(pixelHeight);
    // The display faces are heavy by design; the IPA faces have one weight, so Qt emboldens them.
    const bool heavyFace = face == Face::HeiseiMinchoW7 || face == Face::TokuGothic;
    result.setBold(bold || heavyFace);
    result.setStyleHint(face == Face::PMincho || face == Face::HeiseiMinchoW7 || face == Face::Gyosho
                            ? QFont::Serif
                            : QFont::SansSerif);
    return result;
}

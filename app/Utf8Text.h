#pragma once
// The window's texts are written in UTF-8 in the sources; Qt takes them as QString.

#include <QString>

inline QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

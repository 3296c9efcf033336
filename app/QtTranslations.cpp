#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void loadQtTranslations(QCoreApplication& application)
{
    // Japanese whatever the user's locale: the programs have no texts in another language.
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qt_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// TolviNumbers3: the Numbers3 edition.
#include "app/MainUnit.h"
#include "app/QtTranslations.h"
#include "engine/EngineFactory.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    loadQtTranslations(app);
    constexpr tolvi::Edition edition = tolvi::Edition::Numbers3;
    QApplication::setApplicationName(QString::fromUtf8(tolvi::describe(edition).programName));

    TMainForm mainForm(edition, tolvi::makeEngineOf<edition>());
    mainForm.FormCreate();
    mainForm.show();
    return app.exec();
}

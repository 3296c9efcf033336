// TolviNumbers3: the Numbers3 edition.
#include "app/MainUnit.h"
#include "app/QtTranslations.h"
#include "engine/Numbers3Engine.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    loadQtTranslations(app);
    const tolvi::EditionInfo& info = tolvi::editionInfo(tolvi::Edition::Numbers3);
    QApplication::setApplicationName(QString::fromUtf8(info.programName));

    TMainForm mainForm(tolvi::Edition::Numbers3, std::make_unique<tolvi::Numbers3Engine>());
    mainForm.FormCreate();
    mainForm.show();
    return app.exec();
}

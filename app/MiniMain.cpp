// TolviNumbersMini: the Mini edition.
#include "app/MainUnit.h"
#include "app/QtTranslations.h"
#include "engine/MiniEngine.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    loadQtTranslations(app);
    const tolvi::EditionInfo& info = tolvi::editionInfo(tolvi::Edition::Mini);
    QApplication::setApplicationName(QString::fromUtf8(info.programName));

    TMainForm mainForm(tolvi::Edition::Mini, std::make_unique<tolvi::MiniEngine>());
    mainForm.FormCreate();
    mainForm.show();
    return app.exec();
}

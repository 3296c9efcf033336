#pragma once
// Qt's own texts in Japanese, like every other text of the programs: the buttons of the message
// boxes, the file dialogs, the context menus of the edit fields. Debian ships them in
// qt6-translations-l10n; without it the standard dialogs stay in English and nothing fails.

class QCoreApplication;

void loadQtTranslations(QCoreApplication& application);

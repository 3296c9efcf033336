#pragma once
// Where the window's file dialogs ("結果の取り込み…", the chart window's "画像として保存") open:
// in the folder of the file last chosen in one of them while the program runs, else in the
// user's download folder (the XDG user folder: ~/ダウンロード on a Japanese desktop, else
// ~/Downloads), else in the home folder. Never in the folder the program was started in, which
// for the installed programs is the hidden data folder.

#include <QString>

QString fileDialogFolder();

// Remembers the folder of `chosenFile` for the next dialog.
void rememberFileDialogChoice(const QString& chosenFile);

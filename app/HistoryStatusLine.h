#pragma once
// The line below the window's client area: which draw the next prediction is for and when it is
// held, and, once per start, a word when the history is behind the draws already held (wrapped
// over the lines it needs: the window is narrow). It never blocks and never covers a control.

#include <QStatusBar>

#include <filesystem>

class QLabel;

class HistoryStatusLine : public QStatusBar {
public:
    explicit HistoryStatusLine(QWidget* parent);

    // Reads the history's last draw again. `sayWhenBehind`: the word on missing draws, shown until
    // the next refresh. A history that cannot be read leaves the line empty: the commands that
    // need it say why.
    void refresh(const std::filesystem::path& historyPath, bool sayWhenBehind);

private:
    QLabel* nextDraw_;
    QLabel* notice_;
};

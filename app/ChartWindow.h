#pragma once
// "グラフ": the prediction's record drawn three ways from one replay of the history — the return
// against the money spent beside what buying random numbers would return, the hits over time,
// and how often each digit came up in each place. A window of its own beside the main window,
// resizable, with a button that saves the view shown as a PNG picture.

#include "engine/RunStatistics.h"

#include <QImage>
#include <QWidget>

class QChart;
class QChartView;
class QComboBox;
class QTabWidget;

class ChartWindow : public QWidget {
    Q_OBJECT

public:
    // `title` is the application's title, shown in the window's caption and its message boxes.
    ChartWindow(tolvi::RunStatistics statistics, tolvi::Edition edition, const QString& title,
                QWidget* parent = nullptr);

    // The chart of the tab shown.
    QChartView* currentView() const;
    // The view shown as a picture, headed by the program's title, the view's name and the draws
    // it covers, and for the return the meaning of the band beneath.
    QImage picture() const;
    // Writes picture() to `path` as PNG; false when it cannot be written.
    bool saveCurrentView(const QString& path) const;

private:
    static QString bandMeaning();
    // "第1回～第7054回 (7054 回)": the draws of the view shown.
    QString drawRange() const;
    QChart* paybackChart() const;
    QChart* hitsChart() const;
    QChart* digitsChart(bool lastHundred) const;
    void showDigits(int choice);
    void saveClicked();

    tolvi::RunStatistics statistics_;
    tolvi::Edition edition_;
    QString title_;
    QTabWidget* tabs_ = nullptr;
    QChartView* digitsView_ = nullptr;
    QComboBox* digitsRange_ = nullptr;
};

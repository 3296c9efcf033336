#pragma once
// "分析…": the views players read the draws through, for Numbers3 or Numbers4 over a chosen range,
// each beside what pure chance gives, the tests with raw and Holm-adjusted p-values in plain words,
// and the popularity of kinds of numbers. A window of its own beside the main window; every page
// can be saved as a picture that says what it shows.

#include "analysis/DrawAnalysis.h"
#include "analysis/Popularity.h"
#include "analysis/PredictionVerdict.h"
#include "games/Editions.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QSpinBox;
class QTabWidget;
class QTableWidget;

class AnalysisWindow : public QWidget {
    Q_OBJECT

public:
    // Reads the history at `history` once (IoError, ConversionError as every reader); shows the
    // edition's game over every draw first. `title` is the application's title. `replay` replays
    // the edition's prediction over the history, for the verdict page, the first time it is shown.
    AnalysisWindow(tolvi::Edition edition, const std::filesystem::path& history, const QString& title,
                   std::function<tolvi::RunStatistics()> replay, QWidget* parent = nullptr);

    QTabWidget* pages() const { return pages_; }
    // The prediction's numbers as the payout panel shows them: the 人気度 page says which kinds
    // they are of. Numbers that are not of the game shown (the Mini's two digits) are left out.
    void showPrediction(const QStringList& numbers);
    // The page shown as a picture, headed by the program, the page, the game and the draws, with
    // what the chart's reference line means beneath.
    QImage picture() const;
    bool saveCurrentPage(const QString& path) const;

private:
    void recompute();
    tolvi::DrawRange chosenRange() const;
    void fillGrid(std::span<const tolvi::Draw> draws);
    void fillCounts();
    QChart* skipsChart() const;
    QChart* sumChart() const;
    void fillShapes();
    void fillPopularity();
    void fillTests();
    void fillVerdict();
    QString pageNote() const;
    void saveClicked();

    QString title_;
    tolvi::Edition edition_;
    std::string content_;
    std::function<tolvi::RunStatistics()> replay_;
    std::optional<tolvi::RunStatistics> statistics_;
    tolvi::PredictionVerdict verdict_;
    std::array<tolvi::DrawSeries, tolvi::kGames.size()> series_;
    tolvi::DrawAnalysis analysis_;
    tolvi::Popularity popularity_;

    QComboBox* game_ = nullptr;
    QComboBox* range_ = nullptr;
    QSpinBox* since_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QTableWidget* counts_ = nullptr;
    QChartView* skips_ = nullptr;
    QChartView* sums_ = nullptr;
    QTableWidget* shapes_ = nullptr;
    QTableWidget* popularityTable_ = nullptr;
    QLabel* heatMap_ = nullptr;
    QLabel* prediction_ = nullptr;
    QStringList predicted_;
    QTableWidget* tests_ = nullptr;
    QLabel* testsSummary_ = nullptr;
    QChartView* verdictChart_ = nullptr;
    QLabel* verdictText_ = nullptr;
};

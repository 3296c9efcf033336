#pragma once
// A panel with the classic bevels: an outer and an inner edge, each raised, lowered or absent.

#include <QWidget>

class Panel : public QWidget {
public:
    enum class Bevel { None, Raised, Lowered };

    explicit Panel(QWidget* parent, Bevel outer = Bevel::Raised, Bevel inner = Bevel::None);

    Bevel outerBevel() const { return outer_; }
    Bevel innerBevel() const { return inner_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel outer_;
    Bevel inner_;
};

#pragma once
// Makes the main window's controls from the design table of its edition (design/FormDesign.h).

#include "design/FormDesign.h"

#include <QWidget>

#include <array>
#include <stdexcept>
#include <string>

class ReportModel;

// The controls made for one window, by the table's enum.
class FormControls {
public:
    // The control, or nullptr when the edition's window has none.
    QWidget* find(tolvi::Control control) const { return widgets_.at(std::size_t(control)); }

    // The control as the kind of widget its row makes; throws when the edition's window has no
    // such control or it is another kind: a window that lacks a control it uses is not made.
    template <class T = QWidget> T* get(tolvi::Control control) const
    {
        auto* widget = qobject_cast<T*>(find(control));
        if (!widget)
            throw std::logic_error(std::string("the window has no control ") + tolvi::controlName(control) +
                                   " of the kind its handlers use");
        return widget;
    }

    // The model of a report view; throws as get() does.
    ReportModel* reportModel(tolvi::Control control) const;

private:
    friend class FormBuilder;
    std::array<QWidget*, tolvi::kControlCount> widgets_ {};
};

class FormBuilder {
public:
    // Makes every control of the edition's design on `client`, the window's client area, and on
    // the panels made there, in the table's order and at the design values. Closed panels and
    // hidden controls start so; labels, pictures and frames lie below every sibling that is a
    // control of its own.
    static FormControls build(QWidget* client, tolvi::Edition edition);
};

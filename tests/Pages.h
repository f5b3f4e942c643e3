// Page objects: each window as the tests drive it, through its named
// controls. Every suite uses these instead of looking controls up itself.
// A control that is missing fails the test (ProgramHarness::find).
#pragma once

#include "ProgramHarness.h"

#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The entry window: the amount box, the six categories with their totals,
// the grand total and "入力".
class EntryPage {
public:
    explicit EntryPage(ProgramHarness &program) : m_program(program) {}

    QWidget *window() const;
    QLineEdit *amount() const;
    QPushButton *input() const;
    QRadioButton *option(int slot) const;
    QLabel *category(int slot) const;
    QLabel *total(int slot) const;
    QLabel *grandTotal() const;

    // The six totals and the grand total as shown.
    QStringList totals() const;
    // The six names as the category labels and the option buttons show them.
    QStringList categories() const;
    QStringList options() const;
    bool anyChosen() const;

    // Chooses the category, types the amount and clicks "入力". False, with
    // the test failed, when "入力" stays disabled.
    [[nodiscard]] bool book(int slot, const QString &amount) const;
    // The same with Enter in the amount box, whatever the button's state.
    void bookWithEnter(int slot, const QString &amount) const;

private:
    // Clicks the category's option and types the amount.
    void choose(int slot, const QString &amount) const;

    ProgramHarness &m_program;
};

// The correction and the category-name windows: six fields, the apply
// button and (in the correction window) six category labels.
class EditingPage {
public:
    explicit EditingPage(QWidget *window) : m_window(window) {}

    QWidget *window() const { return m_window; }
    QLineEdit *field(int slot) const;
    QPushButton *apply() const;
    QLabel *label(int slot) const;
    QStringList fieldTexts() const;

private:
    QWidget *m_window;
};

#include "Pages.h"

#include "Captions.h"
#include "Controls.h"
#include "Slots.h"
#include "UiNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kakeibo;

QWidget *EntryPage::window() const
{
    return amount()->window();
}

QLineEdit *EntryPage::amount() const
{
    return m_program.find<QLineEdit>(Ui::frmIO, Ui::txtKingaku);
}

QPushButton *EntryPage::input() const
{
    return m_program.find<QPushButton>(Ui::frmIO, Ui::cmdInput);
}

QRadioButton *EntryPage::option(int slot) const
{
    return m_program.find<QRadioButton>(Ui::frmIO, Ui::optKoumoku, slot);
}

QLabel *EntryPage::category(int slot) const
{
    return m_program.find<QLabel>(Ui::frmIO, Ui::lblKoumoku, slot);
}

QLabel *EntryPage::total(int slot) const
{
    return m_program.find<QLabel>(Ui::frmIO, Ui::lblKingaku, slot);
}

QLabel *EntryPage::grandTotal() const
{
    return m_program.find<QLabel>(Ui::frmIO, Ui::lblGoukei);
}

QStringList EntryPage::totals() const
{
    QStringList captions;
    for (int slot = 0; slot < kSlotCount; ++slot)
        captions << total(slot)->text();
    return captions << grandTotal()->text();
}

QStringList EntryPage::categories() const
{
    QStringList names;
    for (int slot = 0; slot < kSlotCount; ++slot)
        names << Captions::shownText(category(slot));
    return names;
}

QStringList EntryPage::options() const
{
    QStringList names;
    for (int slot = 0; slot < kSlotCount; ++slot)
        names << Captions::shownText(option(slot));
    return names;
}

bool EntryPage::anyChosen() const
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (option(slot)->isChecked())
            return true;
    }
    return false;
}

void EntryPage::choose(int slot, const QString &amount) const
{
    ProgramHarness::click(option(slot));
    ProgramHarness::type(this->amount(), amount);
}

bool EntryPage::book(int slot, const QString &amount) const
{
    choose(slot, amount);
    if (!input()->isEnabled()) {
        QTest::qFail(qPrintable(QStringLiteral("「入力」 stayed disabled for %1").arg(amount)), __FILE__, __LINE__);
        return false;
    }
    QTest::mouseClick(input(), Qt::LeftButton);
    return true;
}

void EntryPage::bookWithEnter(int slot, const QString &amount) const
{
    choose(slot, amount);
    QTest::keyClick(this->amount(), Qt::Key_Return);
}

QLineEdit *EditingPage::field(int slot) const
{
    return ProgramHarness::field(m_window, slot);
}

QPushButton *EditingPage::apply() const
{
    return ProgramHarness::applyButton(m_window);
}

QLabel *EditingPage::label(int slot) const
{
    return m_window->findChild<QLabel *>(Controls::arrayName(Ui::lblKoumoku, slot));
}

QStringList EditingPage::fieldTexts() const
{
    QStringList texts;
    for (int slot = 0; slot < kSlotCount; ++slot)
        texts << field(slot)->text();
    return texts;
}

// frmIO, the entry window: the six categories with their totals and the
// grand total, the amount box and the button "入力" that books an amount.
//
// The window keeps no data of its own: Module1 writes the names and totals
// into its labels and option captions, and every handler reads the state
// back from the controls. Its own logic is the amount check CheckInput,
// which keeps the amount text in rendered form and "入力" enabled exactly
// while a booking can succeed, and the booking handler cmdInput_Click.
#pragma once

#include "FormBase.h"
#include "Slots.h"

#include <array>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace kakeibo {

class frmIO : public FormBase {
    Q_OBJECT

public:
    explicit frmIO(Frame &frame);

    void Form_Load() override;
    void Form_Unload() override;

private:
    void createControls();
    void createTotalsFrame(QWidget *client);
    void createCategoryFrame(QWidget *client);
    void createMenu();
    void useWindowFont(QGroupBox *box);
    void connectHandlers();

    void optKoumoku_Click(int index);
    void txtKingaku_Change();
    void cmdInput_Click();
    void mnuRevision_Click();
    void mnuChange_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    void CheckInput();
    int chosenSlot() const;  // -1 when no category is chosen

    QMenuBar *m_menuBar = nullptr;
    QPushButton *cmdInput = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::array<QLabel *, kSlotCount> lblKingaku{};
    QLabel *lblGoukei = nullptr;
    QFrame *Line2 = nullptr;
    QLabel *Label2 = nullptr;
    std::array<QLabel *, kSlotCount> lblKoumoku{};
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, kSlotCount> optKoumoku{};
    QLineEdit *txtKingaku = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label1 = nullptr;
    QAction *mnuRevision = nullptr;
    QAction *mnuChange = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuExit = nullptr;
};

} // namespace kakeibo

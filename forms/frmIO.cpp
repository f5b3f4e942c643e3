#include "frmIO.h"

#include "Amount.h"
#include "Announcer.h"
#include "Captions.h"
#include "Controls.h"
#include "Fonts.h"
#include "Module1.h"
#include "UiNames.h"
#include "frmIOLayout.h"

#include <QAction>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace kakeibo {

using namespace frmIOLayout;
using Controls::LabelSizing;

namespace {

const std::array<const char *, kSlotCount> kDesignNames{"食費", "趣味", "光熱費", "電話代", "洗濯代", "その他"};

QString designName(int slot)
{
    return QString::fromUtf8(kDesignNames[slot]);
}

QGroupBox *groupBox(QWidget *parent, const QString &name, const QString &title, const TwipsRect &rect)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setAccessibleName(title);
    box->setFont(Fonts::fixedSys(QFont::Bold));
    box->setGeometry(toPixels(rect));
    return box;
}

} // namespace

frmIO::frmIO(Frame &frame) : FormBase(frame, Ui::frmIO)
{
    setWindowTitle(QStringLiteral("QEN - ペルモア - [入力]"));
    setWindowIcon(QIcon(QStringLiteral(":/kakeibo/design.ico")));
    setFont(Fonts::fixedSys());
    createMenu();
    createControls();
    setClientSize(toPixels(kClient), m_menuBar->height());
    setTabOrderList({txtKingaku, optKoumoku[0], optKoumoku[1], optKoumoku[2], optKoumoku[3], optKoumoku[4],
                     optKoumoku[5], cmdInput});
    connectHandlers();
}

void frmIO::createMenu()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(Ui::menuBar);
    m_menuBar->setAccessibleName(QStringLiteral("メニュー"));
    const auto command = [this](const QString &name, const QString &caption) {
        QAction *action = m_menuBar->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    mnuRevision = command(Ui::mnuRevision, QStringLiteral("訂正(&R)"));
    mnuChange = command(Ui::mnuChange, QStringLiteral("項目変更(&C)"));
    mnuAbout = command(Ui::mnuAbout, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
    mnuExit = command(Ui::mnuExit, QStringLiteral("終了(&X)"));
    m_menuBar->setGeometry(0, 0, toPixels(kClient.width), m_menuBar->sizeHint().height());
}

void frmIO::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(Ui::client);
    client->setAccessibleName(QStringLiteral("入力と合計"));
    client->setGeometry(QRect(QPoint(0, m_menuBar->height()), toPixels(kClient)));

    cmdInput = Controls::defaultButton(client, Ui::cmdInput, QStringLiteral("入力"), kCmdInput);
    cmdInput->setFont(Fonts::reisho());
    cmdInput->setEnabled(false);

    createTotalsFrame(client);
    createCategoryFrame(client);

    txtKingaku = Controls::textBox(client, Ui::txtKingaku, QString(), kTxtKingaku);
    txtKingaku->setAccessibleName(QStringLiteral("金額"));

    Line1 = Controls::line(client, Ui::Line1, kLine1);
    Label1 = Controls::label(client, Ui::Label1, QStringLiteral("金額"), kLabel1, Qt::AlignLeft,
                             LabelSizing::FitLeftFixed);
    Label1->setFont(Fonts::fixedSys(QFont::Bold));
    Controls::fitCaption(Label1);
    Label1->setBuddy(txtKingaku);
}

void frmIO::createTotalsFrame(QWidget *client)
{
    // Made row by row, each category before its total, which is the order
    // in which a screen reader walking the controls meets them (no two of
    // them overlap, so the order shows nowhere). Each figure is labelled by
    // its category, so that a total is spoken once, with it: "食費 300".
    Frame2 = groupBox(client, Ui::Frame2, QStringLiteral("合計金額"), kFrame2);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        lblKoumoku[slot] = Controls::label(Frame2, Controls::arrayName(Ui::lblKoumoku, slot),
                                           designName(slot), kLblKoumoku[slot], Qt::AlignRight,
                                           LabelSizing::FitRightFixed);
        lblKingaku[slot] = Controls::figure(Frame2, Controls::arrayName(Ui::lblKingaku, slot),
                                            kLblKingaku[slot]);
        lblKoumoku[slot]->setBuddy(lblKingaku[slot]);
    }
    Line2 = Controls::line(Frame2, Ui::Line2, kLine2);
    Label2 = Controls::label(Frame2, Ui::Label2, QStringLiteral("合計"), kLabel2, Qt::AlignRight,
                             LabelSizing::FitRightFixed);
    lblGoukei = Controls::figure(Frame2, Ui::lblGoukei, kLblGoukei);
    Label2->setBuddy(lblGoukei);
    useWindowFont(Frame2);
}

// The frames' captions are bold; what stands inside them uses the window font.
void frmIO::useWindowFont(QGroupBox *box)
{
    for (QWidget *child : box->findChildren<QWidget *>()) {
        child->setFont(font());
        if (auto *label = qobject_cast<QLabel *>(child))
            Controls::fitCaption(label);
    }
}

void frmIO::createCategoryFrame(QWidget *client)
{
    Frame1 = groupBox(client, Ui::Frame1, QStringLiteral("項目"), kFrame1);
    for (int slot = kSlotCount - 1; slot >= 0; --slot) {
        auto *option = new QRadioButton(designName(slot), Frame1);
        option->setObjectName(Controls::arrayName(Ui::optKoumoku, slot));
        option->setGeometry(toPixels(kOptKoumoku[slot]));
        option->setAccessibleName(designName(slot));
        optKoumoku[slot] = option;
    }
    useWindowFont(Frame1);
}

void frmIO::connectHandlers()
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        connect(optKoumoku[slot], &QRadioButton::clicked, this, handler([this, slot] { optKoumoku_Click(slot); }));
    connect(txtKingaku, &QLineEdit::textChanged, this, handler([this] { txtKingaku_Change(); }));
    connect(cmdInput, &QPushButton::clicked, this, handler([this] { cmdInput_Click(); }));
    onCommand(mnuRevision, [this] { mnuRevision_Click(); });
    onCommand(mnuChange, [this] { mnuChange_Click(); });
    onCommand(mnuAbout, [this] { mnuAbout_Click(); });
    onCommand(mnuExit, [this] { mnuExit_Click(); });
}

void frmIO::Form_Load()
{
    setWindowIcon(loadIcon());
    Module1::LoadKoumoku();
    Module1::LoadKingaku();
}

void frmIO::Form_Unload()
{
    frame().handlers().end();
}

void frmIO::optKoumoku_Click(int)
{
    CheckInput();
}

void frmIO::txtKingaku_Change()
{
    CheckInput();
}

void frmIO::mnuRevision_Click()
{
    Module1::LoadTeisei();
    frame().windows().showModal(Ui::frmTeisei);
}

void frmIO::mnuAbout_Click()
{
    frame().windows().showModal(Ui::frmAbout);
}

void frmIO::mnuChange_Click()
{
    frame().windows().showModal(Ui::frmKoumoku);
}

void frmIO::mnuExit_Click()
{
    frame().handlers().end();
}

int frmIO::chosenSlot() const
{
    int chosen = -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (optKoumoku[slot]->isChecked())
            chosen = slot;
    }
    return chosen;
}

// Keeps the amount text in rendered form and "入力" enabled exactly when a
// category is chosen and the text converts. A text that does not convert is
// left as typed and only disables the button.
void frmIO::CheckInput()
{
    const bool chosen = chosenSlot() >= 0;
    const Expected<int32_t> amount = Amount::fromText(txtKingaku->text());
    if (!amount.ok()) {
        cmdInput->setEnabled(false);
        return;
    }
    frame().writer().setText(txtKingaku, Amount::toText(amount.value()));
    cmdInput->setEnabled(chosen && !txtKingaku->text().isEmpty());
}

void frmIO::cmdInput_Click()
{
    const int slot = std::max(chosenSlot(), 0);
    const int32_t amount = valueOrRaise(Amount::fromText(txtKingaku->text()));
    Module1::AddKingaku(amount, static_cast<int16_t>(slot));
    frame().writer().clearOption(optKoumoku[slot]);
    frame().writer().setText(txtKingaku, QString());
    frame().announcer().announce(this, QStringLiteral("入力しました。%1、%2")
                                           .arg(Captions::withLabel(lblKingaku[slot]), Captions::withLabel(lblGoukei)));
}

} // namespace kakeibo

// The floor of the start-up benchmark: a plain Qt dialog with the entry
// window's controls, fonts and menu bar, and nothing else: no files, no
// other windows, no logic. What the program takes beyond this is its own.
#include "frmIOLayout.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

using namespace kakeibo;
using namespace kakeibo::frmIOLayout;

namespace {

QFont face(const char *family, qreal points, QFont::Weight weight = QFont::Normal)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

QLabel *label(QWidget *parent, const char *text, const TwipsRect &rect, bool sunken = false)
{
    auto *created = new QLabel(QString::fromUtf8(text), parent);
    created->setGeometry(toPixels(rect));
    created->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (sunken)
        created->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return created;
}

QFrame *line(QWidget *parent, const TwipsLine &points)
{
    auto *created = new QFrame(parent);
    const QLine pixels = toPixels(points);
    created->setFrameShape(pixels.dy() == 0 ? QFrame::HLine : QFrame::VLine);
    created->setGeometry(QRect(pixels.p1(), pixels.p2()).adjusted(-1, -1, 1, 1));
    return created;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::array<const char *, 6> names{"食費", "趣味", "光熱費", "電話代", "洗濯代", "その他"};
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("floor - [入力]"));
    dialog.setFont(face("IPAGothic", 13.5));
    auto *menu = new QMenuBar(&dialog);
    for (const char *command : {"訂正(&R)", "項目変更(&C)", "ﾊﾞｰｼﾞｮﾝ情報(&A)", "終了(&X)"})
        menu->addAction(QString::fromUtf8(command));
    menu->setGeometry(0, 0, toPixels(kClient.width), menu->sizeHint().height());
    auto *client = new QWidget(&dialog);
    client->setGeometry(QRect(QPoint(0, menu->height()), toPixels(kClient)));

    auto *input = new QPushButton(QStringLiteral("入力"), client);
    input->setFont(face("IPAMincho", 14.25, QFont::Bold));
    input->setGeometry(toPixels(kCmdInput));
    input->setEnabled(false);
    input->setDefault(true);
    auto *totals = new QGroupBox(QStringLiteral("合計金額"), client);
    totals->setFont(face("IPAGothic", 13.5, QFont::Bold));
    totals->setGeometry(toPixels(kFrame2));
    for (int slot = 0; slot < 6; ++slot) {
        label(totals, "0", kLblKingaku[slot], true)->setFont(dialog.font());
        label(totals, names[slot], kLblKoumoku[slot])->setFont(dialog.font());
    }
    label(totals, "0", kLblGoukei, true)->setFont(dialog.font());
    line(totals, kLine2);
    label(totals, "合計", kLabel2)->setFont(dialog.font());
    auto *categories = new QGroupBox(QStringLiteral("項目"), client);
    categories->setFont(face("IPAGothic", 13.5, QFont::Bold));
    categories->setGeometry(toPixels(kFrame1));
    for (int slot = 0; slot < 6; ++slot) {
        auto *option = new QRadioButton(QString::fromUtf8(names[slot]), categories);
        option->setFont(dialog.font());
        option->setGeometry(toPixels(kOptKoumoku[slot]));
    }
    (new QLineEdit(client))->setGeometry(toPixels(kTxtKingaku));
    line(client, kLine1);
    label(client, "金額", kLabel1)->setFont(face("IPAGothic", 13.5, QFont::Bold));

    dialog.setFixedSize(toPixels(kClient).width(), toPixels(kClient).height() + menu->height());
    QRect area = dialog.rect();
    area.moveCenter(dialog.screen()->availableGeometry().center());
    dialog.move(area.topLeft());
    dialog.show();
    return app.exec();
}

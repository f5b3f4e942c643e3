#include "frmAbout.h"

#include "Controls.h"
#include "Fonts.h"
#include "UiNames.h"
#include "Version.h"
#include "frmAboutLayout.h"

#include <QLabel>

namespace kakeibo {

using namespace frmAboutLayout;
using Controls::LabelSizing;

frmAbout::frmAbout(Frame &frame) : FormBase(frame, Ui::frmAbout)
{
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFont(Fonts::proportionalMincho());
    setClientSize(toPixels(kClient));

    Label2 = Controls::label(this, Ui::Label2, QStringLiteral("温かい感想、バグ情報お待ちしています。"),
                             kLabel2, Qt::AlignLeft, LabelSizing::Fixed);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    Line1 = Controls::line(this, Ui::Line1, kLine1);
    lblAbout = Controls::label(this, Ui::lblAbout, QStringLiteral("Version"), kLblAbout, Qt::AlignLeft,
                               LabelSizing::FitLeftFixed);
    Label1 = Controls::label(this, Ui::Label1, QStringLiteral("QEN ペルモア"), kLabel1, Qt::AlignLeft,
                             LabelSizing::FitLeftFixed);
    imgIcon = new QLabel(this);
    imgIcon->setObjectName(Ui::imgIcon);
    imgIcon->setAccessibleName(QStringLiteral("アイコン"));
    imgIcon->setGeometry(toPixels(kImgIcon));
    imgIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void frmAbout::Form_Load()
{
    setWindowIcon(loadIcon());
    const QPixmap picture = loadIcon();
    imgIcon->setPixmap(picture);
    imgIcon->resize(picture.size());
    frame().writer().setCaption(lblAbout, Version::caption(Version::kMajor, Version::kMinor));
    // A screen reader speaks a window's description as the window opens:
    // the version window's text is all there is to it.
    setAccessibleDescription(QStringList{Label1->text(), lblAbout->text(), Label2->text()}.join(QLatin1Char(' ')));
}

} // namespace kakeibo

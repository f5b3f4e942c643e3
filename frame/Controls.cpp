#include "Controls.h"

#include "AccessibleKinds.h"
#include "Captions.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace kakeibo::Controls {
namespace {

const char *const kSizingProperty = "kakeiboLabelSizing";
const char *const kFigureProperty = "kakeiboFigure";

} // namespace

QString arrayName(const QString &name, int index)
{
    return index < 0 ? name : name + QLatin1Char('_') + QString::number(index);
}

QPushButton *defaultButton(QWidget *parent, const QString &objectName, const QString &caption,
                           const TwipsRect &rect)
{
    auto *created = new QPushButton(caption, parent);
    created->setObjectName(objectName);
    created->setAccessibleName(Captions::withoutAccessKeys(caption));
    created->setGeometry(toPixels(rect));
    created->setDefault(true);
    return created;
}

namespace {

// Refuses an edit that would make the text longer than the limit, so that
// a paste is never cut to fit (a cut "000…05" would read as 0).
class LengthLimit : public QValidator {
public:
    LengthLimit(int limit, QObject *parent) : QValidator(parent), m_limit(limit) {}

    State validate(QString &input, int &) const override
    {
        return input.size() > m_limit ? Invalid : Acceptable;
    }

private:
    int m_limit;
};

} // namespace

QLineEdit *textBox(QWidget *parent, const QString &objectName, const QString &text, const TwipsRect &rect,
                   int maxLength)
{
    auto *created = new QLineEdit(text, parent);
    created->setObjectName(objectName);
    created->setGeometry(toPixels(rect));
    created->setMaxLength(kNoLimit);
    // A line edit lays out the whole of its text whenever it is set; until
    // its window is first shown (FormBase) it holds the text without showing
    // it, so that a window loaded hidden costs no layout of long names.
    created->setEchoMode(QLineEdit::NoEcho);
    if (maxLength != kNoLimit)
        created->setValidator(new LengthLimit(maxLength, created));
    return created;
}

QLabel *label(QWidget *parent, const QString &objectName, const QString &caption, const TwipsRect &rect,
              Qt::Alignment alignment, LabelSizing sizing)
{
    auto *created = new QLabel(caption, parent);
    created->setObjectName(objectName);
    created->setTextFormat(Qt::PlainText);
    created->setAlignment(alignment | Qt::AlignVCenter);
    created->setGeometry(toPixels(rect));
    created->setProperty(kSizingProperty, static_cast<int>(sizing));
    created->setAccessibleName(caption);
    fitCaption(created);
    return created;
}

QLabel *figure(QWidget *parent, const QString &objectName, const TwipsRect &rect)
{
    QLabel *created = label(parent, objectName, QStringLiteral("0"), rect, Qt::AlignRight, LabelSizing::Fixed);
    created->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    created->setLineWidth(1);
    created->setMargin(1);
    created->setProperty(kFigureProperty, true);
    return created;
}

QFrame *line(QWidget *parent, const QString &objectName, const TwipsLine &points)
{
    auto *created = new AccessibleKinds::Rule(parent);
    created->setObjectName(objectName);
    const QLine pixels = toPixels(points);
    const bool horizontal = pixels.dy() == 0;
    created->setFrameShape(horizontal ? QFrame::HLine : QFrame::VLine);
    created->setFrameShadow(QFrame::Sunken);
    constexpr int kThickness = 2;
    if (horizontal)
        created->setGeometry(pixels.x1(), pixels.y1() - kThickness / 2, pixels.dx() + 1, kThickness);
    else
        created->setGeometry(pixels.x1() - kThickness / 2, pixels.y1(), kThickness, pixels.dy() + 1);
    return created;
}

namespace {

// The width a caption needs. Past a few hundred characters a caption is
// wider than any screen, so only that much of it is measured: a name of a
// million characters costs no more than one of three hundred.
int captionWidth(const QLabel *label)
{
    constexpr qsizetype kMeasuredCharacters = 300;
    const QString &text = label->text();
    if (text.size() <= kMeasuredCharacters)
        return label->sizeHint().width();
    const QMargins margins = label->contentsMargins();
    return label->fontMetrics().horizontalAdvance(text.left(kMeasuredCharacters)) + margins.left()
           + margins.right() + 2 * label->margin();
}

// A figure keeps its designed size and font; one too wide for it (a grand
// total of eleven digits and more, a total of -2147483648) is set in a
// smaller size so that every digit shows.
void fitFigure(QLabel *label)
{
    const QFont designed = label->window()->font();
    const int room = label->contentsRect().width() - 2 * label->margin();
    QFont font = designed;
    const int needed = QFontMetrics(font).horizontalAdvance(label->text());
    if (needed > room) {
        font.setPointSizeF(designed.pointSizeF() * room / needed);
        while (QFontMetrics(font).horizontalAdvance(label->text()) > room && font.pointSizeF() > 1)
            font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    if (font != label->font())
        label->setFont(font);
}

} // namespace

void fitCaption(QLabel *label)
{
    if (label->property(kFigureProperty).toBool()) {
        fitFigure(label);
        return;
    }
    const auto sizing = static_cast<LabelSizing>(label->property(kSizingProperty).toInt());
    if (sizing == LabelSizing::Fixed)
        return;
    const QRect old = label->geometry();
    const int width = captionWidth(label);
    const int left = sizing == LabelSizing::FitLeftFixed ? old.left() : old.right() + 1 - width;
    label->setGeometry(left, old.top(), width, old.height());
}

} // namespace kakeibo::Controls

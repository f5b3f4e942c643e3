#include "Captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace kakeibo::Captions {
namespace {

const char *const kSourceProperty = "kakeiboNamedAfter";
const char *const kJoinerProperty = "kakeiboNameJoiner";

// Buttons and group boxes always read "&" as an access-key marker; a label
// does so only while it leads to another control (it has a buddy).
bool readsAccessKeys(const QWidget *control)
{
    if (qobject_cast<const QAbstractButton *>(control) || qobject_cast<const QGroupBox *>(control))
        return true;
    const auto *label = qobject_cast<const QLabel *>(control);
    return label && label->buddy();
}

QString rawText(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(control))
        return box->title();
    if (const auto *field = qobject_cast<const QLineEdit *>(control))
        return field->text();
    return {};
}

QWidget *sourceOf(const QWidget *control)
{
    return qobject_cast<QWidget *>(control->property(kSourceProperty).value<QObject *>());
}

void updateSpokenName(QWidget *control)
{
    const bool isField = qobject_cast<QLineEdit *>(control);
    const QWidget *source = sourceOf(control);
    if (isField && !source)
        return;  // a field keeps the name its window gave it
    const QString own = isField ? QString() : shownText(control);
    // After a label that shows nothing, the joiner ("の合計") names nothing.
    const QString before = source ? shownText(source) : QString();
    control->setAccessibleName(before.isEmpty() ? own : before + control->property(kJoinerProperty).toString() + own);
}

} // namespace

QString shownPart(const QString &text)
{
    if (text.size() <= kMostShownCharacters)
        return text;
    qsizetype cut = kMostShownCharacters;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(u'…');
}

QString withoutAccessKeys(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

QString shownText(const QWidget *control)
{
    const QString raw = rawText(control);
    return readsAccessKeys(control) ? withoutAccessKeys(raw) : raw;
}

QString withLabel(const QWidget *control)
{
    if (!control->parentWidget())
        return shownText(control);
    for (const QLabel *label : control->parentWidget()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->buddy() == control && !shownText(label).isEmpty())
            return shownText(label) + QLatin1Char(' ') + shownText(control);
    }
    return shownText(control);
}

void setShownText(QWidget *control, const QString &text)
{
    const QString shown = shownPart(text);
    const QString raw = readsAccessKeys(control) ? QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")) : shown;
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(raw);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(raw);
    else if (auto *box = qobject_cast<QGroupBox *>(control))
        box->setTitle(raw);
}

void nameAfter(QWidget *control, QWidget *source, const QString &joiner)
{
    control->setProperty(kSourceProperty, QVariant::fromValue<QObject *>(source));
    control->setProperty(kJoinerProperty, joiner);
    updateSpokenName(control);
}

void refreshSpokenNames(QWidget *changed)
{
    updateSpokenName(changed);
    for (QWidget *control : changed->window()->findChildren<QWidget *>()) {
        if (sourceOf(control) == changed)
            updateSpokenName(control);
    }
}

} // namespace kakeibo::Captions

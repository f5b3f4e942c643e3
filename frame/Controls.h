// Builders for the standard controls the windows are made of, placed from
// their twips geometry. Every control gets its object name (control arrays
// as "name_index") and an accessible name a screen reader can speak.
#pragma once

#include "Twips.h"

#include <QString>

#include <limits>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kakeibo::Controls {

// How a label's size follows its caption.
enum class LabelSizing {
    Fixed,           // the designed size; the text is clipped or wrapped
    FitLeftFixed,    // widens or narrows to the caption, left edge fixed
    FitRightFixed,   // widens or narrows to the caption, right edge fixed
};

// "name_index" for a member of a control array; the plain name for index -1.
QString arrayName(const QString &name, int index);

// The window's default command button (Enter presses it while enabled),
// spoken as it shows: "訂正(&K)" as "訂正(K)".
QPushButton *defaultButton(QWidget *parent, const QString &objectName, const QString &caption,
                           const TwipsRect &rect);

// A text box with no limit holds whatever is typed or pasted, however long
// (Qt's own limit, 32,767 characters, would cut a paste to fit).
constexpr int kNoLimit = std::numeric_limits<int>::max();

// A single-line text box (Qt's line edit), shown once its window is
// (FormBase). It never cuts an edit: an edit (a key, a paste, a drop, an
// input-method commit) that would take the text past maxLength characters
// is refused whole, and any other is taken whole.
QLineEdit *textBox(QWidget *parent, const QString &objectName, const QString &text, const TwipsRect &rect,
                   int maxLength = kNoLimit);

QLabel *label(QWidget *parent, const QString &objectName, const QString &caption, const TwipsRect &rect,
              Qt::Alignment alignment, LabelSizing sizing);

// A label with a thin sunken border, as used for figures. A figure keeps
// its size; one too wide for it is set smaller so that every digit shows.
QLabel *figure(QWidget *parent, const QString &objectName, const TwipsRect &rect);

// A horizontal or vertical rule from one point to the other: a decoration,
// which a screen reader passes over.
QFrame *line(QWidget *parent, const QString &objectName, const TwipsLine &points);

// Re-applies a label's sizing (or a figure's fit) after its caption changed.
void fitCaption(QLabel *label);

} // namespace kakeibo::Controls

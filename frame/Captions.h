// What a control shows and what a screen reader says for it.
//
// The program's own design captions use "&" to mark an access key
// ("訂正(&K)"). Everything the program writes into a control at run time
// (category names, figures, the version) is the user's or the program's
// data and is shown literally: an "&" in it is escaped for the controls
// that read access keys, so that "R&D" shows as "R&D" and never competes
// with the menu's Alt keys.
//
// A caption shows at most kMostShownCharacters characters, then "…": a
// longer one is wider than any screen, and a label or button lays out all
// it holds at every paint, so the whole of a long name stays in the record
// and the rename fields only.
//
// A control's spoken (accessible) name is its shown text, optionally after
// the shown text of another control it belongs to ("食費の合計" for a
// correction field after its category label). The names are brought up to
// date here, in one place, whenever the frame sets a caption. A figure
// keeps its own text as its name and is labelled by the label that leads
// to it (its buddy), which a screen reader reads with it: "食費 300".
#pragma once

#include <QString>

class QWidget;

namespace kakeibo::Captions {

inline constexpr qsizetype kMostShownCharacters = 1000;

// The part of a text that a caption shows: the text itself, or its first
// kMostShownCharacters characters and "…".
QString shownPart(const QString &text);

// The text a label, button, group box or text box shows, access keys
// removed: "訂正(&K)" shows "訂正(K)", "R&&D" shows "R&D".
QString shownText(const QWidget *control);

// A design caption as a screen reader speaks it: "&X" is "X", "&&" is "&".
QString withoutAccessKeys(const QString &caption);

// The shown text of the label that leads to `control` (whose buddy it is),
// a space, then the control's own shown text: "食費 300". The control's
// text alone where no label leads to it or the label shows nothing.
QString withLabel(const QWidget *control);

// Makes the control show `text` (its shown part) literally; no "&" in it
// marks an access key.
void setShownText(QWidget *control, const QString &text);

// The control is spoken as the shown text of `source`, then `joiner`, then
// its own shown text; as its own text alone while `source` shows nothing. A text box's own text is its value, not part of its
// name, so a field is spoken as its source and joiner alone.
void nameAfter(QWidget *control, QWidget *source, const QString &joiner);

// Brings up to date the spoken names that depend on what `changed` shows:
// its own, and those of the controls of its window named after it.
void refreshSpokenNames(QWidget *changed);

} // namespace kakeibo::Captions

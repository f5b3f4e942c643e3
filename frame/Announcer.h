// What a screen reader is told of the outcome of a command the user gave:
// "入力しました。食費 1500、合計 1500" after a booking. It is spoken once,
// and a sighted user sees nothing new.
//
// Qt 6.4 has no announcement of its own, a screen reader reads no change of
// a control away from the focus, and the changes of a name or description
// that Qt 6.4 sends carry no text a screen reader can speak. What a screen
// reader does speak is a notification that appears: each window gets one
// notification area of no size (AccessibleKinds), which takes the text and
// is shown anew for each announcement, and is hidden again as soon as the
// focus moves.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace kakeibo {

class Announcer : public QObject {
    Q_OBJECT

public:
    explicit Announcer(QObject *parent);

    // Tells the screen reader `text`, as a notification of `window`.
    void announce(QWidget *window, const QString &text);

private:
    void hideShown();

    QPointer<QWidget> m_shown;
};

} // namespace kakeibo

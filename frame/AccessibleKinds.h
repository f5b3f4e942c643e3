// What a screen reader is told a control is, where Qt's own answer would
// mislead it. Qt builds a control's accessible interface from its class:
// these classes get interfaces of the frame's own (installed by install()).
//  - Rule: a dividing line. It is decoration, which a screen reader's
//    review passes over; Qt would read each one as a frame or separator.
//  - NotificationArea: a place of no size that a screen reader knows as a
//    notification, which it speaks as it appears (Announcer).
#pragma once

#include <QFrame>
#include <QWidget>

namespace kakeibo::AccessibleKinds {

class Rule : public QFrame {
    Q_OBJECT

public:
    using QFrame::QFrame;
};

class NotificationArea : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
};

// Installs the interfaces for the whole application, once.
void install();

} // namespace kakeibo::AccessibleKinds

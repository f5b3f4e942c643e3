// One book, one program: the first copy started on an application directory
// listens on a local socket whose name is derived from the directory's
// canonical path; a later copy on the same directory finds it, asks it to
// bring its window to the front, and ends without touching any file.
// Nothing is written into the application directory. A socket left behind
// by a copy that was killed is recognised (nobody answers on it) and taken
// over. This is the program's one use of Qt Network; it lives in the
// library kakeibo_instance, which the program loads only when it needs it
// (InstanceGuard).
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "InstanceName.h"

namespace kakeibo {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString &applicationDirectory, QObject *parent = nullptr);


    // True when this is the only copy on the directory (and it now listens);
    // false when another copy runs, which has been asked to come forward.
    bool claim();

signals:
    // A later copy asked this one to bring its window to the front.
    void activationRequested();

private:
    bool askRunningCopy();

    QString m_name;
    QLocalServer m_server;
};

} // namespace kakeibo

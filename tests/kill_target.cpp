// The program under kill: runs the whole program offscreen on the
// application directory given, then books and renames through its controls
// as fast as it can, printing a line when each change is complete, until it
// is killed. Bookings add 1 to slot (n mod 6), n counting this run's
// bookings; every fourth change renames all six categories to the other of
// two sets ("A0".."A5", "B0".."B5").
#include "Frame.h"
#include "Module1.h"
#include "UiNames.h"
#include "Program.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>

using namespace kakeibo;

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void book(Frame &frame, int slot)
{
    frame.windows().control<QRadioButton>(Ui::frmIO, Ui::optKoumoku, slot)->click();
    frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmIO, Ui::txtKingaku), QStringLiteral("1"));
    frame.windows().control<QPushButton>(Ui::frmIO, Ui::cmdInput)->click();
}

QChar rename(Frame &frame)
{
    const QChar set = Module1::KoumokuData[0].startsWith(QLatin1Char('A')) ? QLatin1Char('B') : QLatin1Char('A');
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot), set + QString::number(slot));
    frame.windows().control<QPushButton>(Ui::frmKoumoku, Ui::cmdTeisei)->click();
    return set;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Frame frame(QString::fromLocal8Bit(argv[1]));
    frame.handlers().setMessageHook([](const UserMessage &message) { say(QStringLiteral("message ") + message.text); });
    frame.handlers().setEndHook([](int code) { std::exit(10 + code); });
    if (!startProgram(frame))
        return 3;
    say(QStringLiteral("started"));
    int bookings = 0;
    for (long change = 0;; ++change) {
        if (change % 4 == 3) {
            const QChar set = rename(frame);
            say(QStringLiteral("renamed ") + set);
        } else {
            book(frame, bookings % kSlotCount);
            ++bookings;
            say(QStringLiteral("booked"));
        }
    }
}

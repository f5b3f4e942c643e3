// Memory and time of one whole run with long category names: start-up with
// the windows painted, then one window opened through its menu command and
// used as a user would: the correction window applied, the category-name
// window renaming the long names to other names of the same length and
// applying, the version window closed, or on the entry window one amount
// booked, or one booking refused (its total at 2147483647) until its
// message is shown. bench/run.sh runs it for an ordinary book and for long
// names and reports the difference per name character; memory_budget.sh
// holds the figures to their budget.
// Usage: bench_memory APPLICATION_DIRECTORY N COUNT WINDOW
//   COUNT names of N characters ("あ"-like, two bytes each in the file), the
//   others short; WINDOW is entry, refused, correction, names or version,
//   or floor: no program, only six bare QLineEdits in a dialog given the
//   same names (opened: set and painted; used: given the other names of the
//   same length and painted), the floor of the long-name figures.
//   Prints "N COUNT WINDOW peak-KiB use-ms start-ms open-ms": the peak
//   resident memory (VmHWM) of the run, the time of the use, of the
//   start-up until the windows are painted, and of opening the window until
//   it is painted (0 for the entry window, which is open from the start).
#include "BenchSupport.h"
#include "Frame.h"
#include "NamesFormat.h"
#include "Program.h"
#include "UiNames.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <limits>

using namespace kakeibo;

namespace {

NamesFormat::Names namesOf(qsizetype length, int count, QChar first)
{
    NamesFormat::Names names;
    for (int slot = 0; slot < kSlotCount; ++slot)
        names[slot] = slot < count ? QString(length, first) + QString::number(slot) : QStringLiteral("項目%1").arg(slot);
    return names;
}

void paint()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

struct Times {
    double use = 0;
    double open = 0;
};

// Opens the window of a menu command and runs `use` inside its modal loop,
// once it is painted.
Times whileOpen(Frame &frame, const QString &command, const std::function<void()> &use)
{
    Times times;
    const auto opening = bench::Clock::now();
    // The command runs at once, inside trigger(); the use, posted first,
    // runs inside the window's modal loop.
    QTimer::singleShot(0, [&] {
        paint();
        times.open = bench::millisecondsSince(opening);
        const auto start = bench::Clock::now();
        use();
        times.use = bench::millisecondsSince(start);
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
    frame.windows().loadedForm(Ui::frmIO)->findChild<QAction *>(command)->trigger();
    QCoreApplication::sendPostedEvents();
    return times;
}

// Books 1 into the first category, which holds 2147483647: the time until
// the refusal's message is painted, which then is closed.
Times refuseBooking(Frame &frame)
{
    Times times;
    const auto start = bench::Clock::now();
    QTimer::singleShot(0, [&] {
        paint();
        times.use = bench::millisecondsSince(start);
        if (QWidget *message = QApplication::activeModalWidget())
            message->close();
    });
    frame.windows().control<QRadioButton>(Ui::frmIO, Ui::optKoumoku, 0)->click();
    frame.windows().control<QLineEdit>(Ui::frmIO, Ui::txtKingaku)->setText(QStringLiteral("1"));
    frame.windows().control<QPushButton>(Ui::frmIO, Ui::cmdInput)->click();
    return times;
}

Times useWindow(Frame &frame, const QString &window, qsizetype length, int count)
{
    if (window == QLatin1String("correction"))
        return whileOpen(frame, Ui::mnuRevision, [&] {
            frame.windows().control<QPushButton>(Ui::frmTeisei, Ui::cmdTeisei)->click();
        });
    if (window == QLatin1String("names"))
        return whileOpen(frame, Ui::mnuChange, [&] {
            const NamesFormat::Names renamed = namesOf(length, count, QChar(u'い'));
            for (int slot = 0; slot < kSlotCount; ++slot)
                frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot)->setText(renamed[slot]);
            paint();
            frame.windows().control<QPushButton>(Ui::frmKoumoku, Ui::cmdTeisei)->click();
        });
    if (window == QLatin1String("version"))
        return whileOpen(frame, Ui::mnuAbout, [] {});
    if (window == QLatin1String("refused"))
        return refuseBooking(frame);
    const auto start = bench::Clock::now();
    frame.windows().control<QRadioButton>(Ui::frmIO, Ui::optKoumoku, 0)->click();
    frame.windows().control<QLineEdit>(Ui::frmIO, Ui::txtKingaku)->setText(QStringLiteral("300"));
    frame.windows().control<QPushButton>(Ui::frmIO, Ui::cmdInput)->click();
    return {bench::millisecondsSince(start), 0};
}

// Six bare line edits given the names, as the category-name window's fields
// are, without anything of the program around them.
Times bareLineEdits(qsizetype length, int count)
{
    Times times;
    const auto opening = bench::Clock::now();
    QDialog dialog;
    QList<QLineEdit *> fields;
    const NamesFormat::Names names = namesOf(length, count, QChar(u'あ'));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto *field = new QLineEdit(&dialog);
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setGeometry(8, 8 + 24 * slot, 300, 22);
        field->setText(names[slot]);
        fields.append(field);
    }
    dialog.show();
    paint();
    times.open = bench::millisecondsSince(opening);
    const auto start = bench::Clock::now();
    const NamesFormat::Names renamed = namesOf(length, count, QChar(u'い'));
    for (int slot = 0; slot < kSlotCount; ++slot)
        fields[slot]->setText(renamed[slot]);
    paint();
    times.use = bench::millisecondsSince(start);
    return times;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 5)
        return 2;
    const qsizetype length = std::atoll(argv[2]);
    const int count = std::atoi(argv[3]);
    const QString window = QString::fromLocal8Bit(argv[4]);
    if (window == QLatin1String("floor")) {
        const Times times = bareLineEdits(length, count);
        std::printf("%lld %d floor %lld %.1f 0.0 %.1f\n", static_cast<long long>(length), count,
                    bench::peakResidentKiB(), times.use, times.open);
        return 0;
    }
    bench::AppDir dir(QString::fromLocal8Bit(argv[1]));
    if (!writeFile(dir.file("Item.dat"), NamesFormat::encode(namesOf(length, count, QChar(u'あ')))))
        return 1;
    // The first total at the top of the range, for the refused booking.
    if (window == QLatin1String("refused")
        && !writeFile(dir.file("MD.dat"), QByteArray::fromHex("ffffff7f") + QByteArray(20, '\0')))
        return 1;
    const auto starting = bench::Clock::now();
    Frame frame(dir.path());
    if (!startProgram(frame))
        return 1;
    paint();
    const double startMs = bench::millisecondsSince(starting);
    const Times times = useWindow(frame, window, length, count);
    paint();
    std::printf("%lld %d %s %lld %.1f %.1f %.1f\n", static_cast<long long>(length), count, argv[4],
                bench::peakResidentKiB(), times.use, startMs, times.open);
    return frame.handlers().hasEnded() ? 1 : 0;
}

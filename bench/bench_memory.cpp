// Memory benchmark: the peak resident memory (VmHWM) of one whole run with
// long category names: start-up with the windows painted, then one window
// opened through its menu command and used as a user would: the correction
// window applied, the category-name window renaming the long names to other
// names of the same length and applying, the version window closed, or on
// the entry window one amount booked. bench/run.sh runs it for an ordinary
// book and for long names and reports the difference per name character.
// Usage: bench_memory APPLICATION_DIRECTORY N COUNT WINDOW
//   COUNT names of N characters ("あ"-like, two bytes each in the file), the
//   others short; WINDOW is entry, correction, names or version.
//   Prints "N COUNT WINDOW peak-KiB apply-ms".
#include "BenchSupport.h"
#include "Frame.h"
#include "NamesFormat.h"
#include "Program.h"
#include "UiNames.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

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

// Opens the window of a menu command and runs `use` inside its modal loop,
// once it is painted; the time `use` took, in milliseconds.
double whileOpen(Frame &frame, const QString &command, const std::function<void(QWidget *)> &use)
{
    double ms = 0;
    // The command's handler is queued behind the menu's own work; the use is
    // queued behind the handler, so it runs inside the window's modal loop.
    frame.windows().loadedForm(Ui::frmIO)->findChild<QAction *>(command)->trigger();
    QTimer::singleShot(0, [&] {
        paint();
        QWidget *window = QApplication::activeModalWidget();
        const auto start = bench::Clock::now();
        use(window);
        ms = bench::millisecondsSince(start);
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
    QCoreApplication::sendPostedEvents();
    return ms;
}

double useWindow(Frame &frame, const QString &window, qsizetype length, int count)
{
    if (window == QLatin1String("correction"))
        return whileOpen(frame, Ui::mnuRevision, [&](QWidget *) {
            frame.windows().control<QPushButton>(Ui::frmTeisei, Ui::cmdTeisei)->click();
        });
    if (window == QLatin1String("names"))
        return whileOpen(frame, Ui::mnuChange, [&](QWidget *) {
            const NamesFormat::Names renamed = namesOf(length, count, QChar(u'い'));
            for (int slot = 0; slot < kSlotCount; ++slot)
                frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot)->setText(renamed[slot]);
            paint();
            frame.windows().control<QPushButton>(Ui::frmKoumoku, Ui::cmdTeisei)->click();
        });
    if (window == QLatin1String("version"))
        return whileOpen(frame, Ui::mnuAbout, [](QWidget *) {});
    const auto start = bench::Clock::now();
    frame.windows().control<QRadioButton>(Ui::frmIO, Ui::optKoumoku, 0)->click();
    frame.windows().control<QLineEdit>(Ui::frmIO, Ui::txtKingaku)->setText(QStringLiteral("300"));
    frame.windows().control<QPushButton>(Ui::frmIO, Ui::cmdInput)->click();
    return bench::millisecondsSince(start);
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
    bench::AppDir dir(QString::fromLocal8Bit(argv[1]));
    QFile file(dir.file("Item.dat"));
    if (!file.open(QIODevice::WriteOnly) || file.write(NamesFormat::encode(namesOf(length, count, QChar(u'あ')))) < 0)
        return 1;
    file.close();
    Frame frame(dir.path());
    if (!startProgram(frame))
        return 1;
    paint();
    const double ms = useWindow(frame, window, length, count);
    paint();
    std::printf("%lld %d %s %lld %.1f\n", static_cast<long long>(length), count, argv[4], bench::peakResidentKiB(), ms);
    return frame.handlers().hasEnded() ? 1 : 0;
}

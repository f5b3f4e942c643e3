// Memory benchmark: the peak resident memory (VmHWM) of one whole run with
// six names of N characters each: start-up with the windows painted, a
// renaming to six other names of N characters with its save, painted again.
// bench/run.sh runs it once for an ordinary book and once for long names and
// reports the difference per name character.
// Usage: bench_memory APPLICATION_DIRECTORY N   (prints "N peak-KiB")
#include "BenchSupport.h"
#include "Frame.h"
#include "UiNames.h"
#include "NamesFormat.h"
#include "Program.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

using namespace kakeibo;

namespace {

// Six names of the given length, each a different text.
NamesFormat::Names namesOf(qsizetype length, QChar first)
{
    NamesFormat::Names names;
    for (int slot = 0; slot < kSlotCount; ++slot)
        names[slot] = bench::nameOf(length, first + QString::number(slot));
    return names;
}

void paint()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const qsizetype length = std::atoll(argv[2]);
    bench::AppDir dir(QString::fromLocal8Bit(argv[1]));
    QFile file(dir.file("Item.dat"));
    if (!file.open(QIODevice::WriteOnly) || file.write(NamesFormat::encode(namesOf(length, QLatin1Char('A')))) < 0)
        return 1;
    file.close();
    Frame frame(dir.path());
    if (!startProgram(frame))
        return 1;
    paint();
    const NamesFormat::Names renamed = namesOf(length, QLatin1Char('B'));
    for (int slot = 0; slot < kSlotCount; ++slot)
        frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot), renamed[slot]);
    frame.windows().control<QPushButton>(Ui::frmKoumoku, Ui::cmdTeisei)->click();
    paint();
    std::printf("%lld %lld\n", static_cast<long long>(length), bench::peakResidentKiB());
    return 0;
}

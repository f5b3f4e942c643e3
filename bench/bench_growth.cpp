// Growth benchmark: start-up (which loads the names into every window) and
// a renaming with its save, for names of 10, 1,000, 100,000 and 1,000,000
// characters each. Both must grow no faster than the names: beside the
// times stands the growth per tenfold step of N (the ratio to the previous
// row, taken to the power 1/log10 of the step), which linear growth keeps at
// 10 or below.
// Usage: bench_growth APPLICATION_DIRECTORY [REPEATS] [LARGEST]
#include "BenchSupport.h"
#include "Frame.h"
#include "UiNames.h"
#include "NamesFormat.h"
#include "Program.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <cstdio>

using namespace kakeibo;

namespace {

NamesFormat::Names namesOf(qsizetype length, QChar first)
{
    NamesFormat::Names names;
    for (auto &name : names)
        name = bench::nameOf(length, QString(first));
    return names;
}

struct Sample {
    double load = 0;
    double rename = 0;
};

Sample measure(const QString &source, qsizetype length)
{
    bench::AppDir dir(source);
    QFile file(dir.file("Item.dat"));
    file.open(QIODevice::WriteOnly);
    file.write(NamesFormat::encode(namesOf(length, QLatin1Char('A'))));
    file.close();
    Sample sample;
    {
        Frame frame(dir.path());
        const auto start = bench::Clock::now();
        if (!startProgram(frame))
            std::exit(1);
        sample.load = bench::millisecondsSince(start);
        const NamesFormat::Names renamed = namesOf(length, QLatin1Char('B'));
        for (int slot = 0; slot < kSlotCount; ++slot)
            frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmKoumoku, Ui::txtKoumoku, slot), renamed[slot]);
        auto *apply = frame.windows().control<QPushButton>(Ui::frmKoumoku, Ui::cmdTeisei);
        const auto renameStart = bench::Clock::now();
        apply->click();
        sample.rename = bench::millisecondsSince(renameStart);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return sample;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString source = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    const qsizetype largest = argc > 3 ? std::atoll(argv[3]) : 1000000;
    measure(source, 10);  // warm-up: the first start pays for fonts and plug-ins
    std::printf("names of N characters each: median of %d runs (ms)\n", repeats);
    std::printf("%9s %11s %7s %11s %7s\n", "N", "load", "x/10N", "rename+save", "x/10N");
    Sample previous;
    qsizetype previousLength = 0;
    for (const qsizetype length : {qsizetype(10), qsizetype(1000), qsizetype(100000), qsizetype(1000000)}) {
        if (length > largest)
            break;
        std::vector<double> loads;
        std::vector<double> renames;
        for (int r = 0; r < repeats; ++r) {
            const Sample s = measure(source, length);
            loads.push_back(s.load);
            renames.push_back(s.rename);
        }
        const Sample now{bench::median(loads), bench::median(renames)};
        if (previous.load > 0) {
            const double steps = std::log10(double(length) / double(previousLength));
            std::printf("%9lld %11.2f %7.2f %11.2f %7.2f\n", (long long)length, now.load,
                        std::pow(now.load / previous.load, 1 / steps), now.rename,
                        std::pow(now.rename / previous.rename, 1 / steps));
        }
        else
            std::printf("%9lld %11.2f %7s %11.2f %7s\n", (long long)length, now.load, "", now.rename, "");
        previous = now;
        previousLength = length;
    }
    return 0;
}

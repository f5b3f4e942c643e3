// Booking benchmark: the time from a booking's click to "MD.dat" durable on
// disk, in-process, against the floor of the same 24-byte write and flush
// done directly. The two are interleaved so that both meet the same disk.
// Usage: bench_booking APPLICATION_DIRECTORY [BOOKINGS]
#include "BenchSupport.h"
#include "Frame.h"
#include "UiNames.h"
#include "Program.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace kakeibo;

namespace {

// The floor: open, write the 24 bytes at offset 0, force them to disk, close.
double directWrite(const QByteArray &path)
{
    const char image[24] = {1};
    const auto start = bench::Clock::now();
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0644);
    if (fd < 0 || ::pwrite(fd, image, sizeof image, 0) != sizeof image || ::fsync(fd) != 0)
        std::perror("floor write");
    ::close(fd);
    return bench::millisecondsSince(start);
}

double booking(Frame &frame, int n)
{
    frame.windows().control<QRadioButton>(Ui::frmIO, Ui::optKoumoku, n % 6)->click();
    frame.writer().setText(frame.windows().control<QLineEdit>(Ui::frmIO, Ui::txtKingaku), QStringLiteral("1"));
    auto *input = frame.windows().control<QPushButton>(Ui::frmIO, Ui::cmdInput);
    const auto start = bench::Clock::now();
    input->click();
    return bench::millisecondsSince(start);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
    bench::AppDir dir(QString::fromLocal8Bit(argv[1]));
    Frame frame(dir.path());
    frame.handlers().setMessageHook([](const UserMessage &m) { std::fprintf(stderr, "%s\n", qPrintable(m.text)); });
    if (!startProgram(frame))
        return 1;
    const QByteArray floorPath = dir.file("floor.dat").toLocal8Bit();
    std::vector<double> program;
    std::vector<double> floor;
    for (int n = 0; n < count; ++n) {
        program.push_back(booking(frame, n));
        floor.push_back(directWrite(floorPath));
    }
    std::printf("booking to \"MD.dat\" durable, %d bookings, interleaved\n", count);
    std::printf("%-10s %9s %9s %9s  (ms)\n", "", "min", "median", "max");
    std::printf("%-10s %s\n", "program", qPrintable(bench::figures(program)));
    std::printf("%-10s %s\n", "floor", qPrintable(bench::figures(floor)));
    std::printf("ratio of medians program/floor: %.3f\n", bench::median(program) / bench::median(floor));
    return frame.handlers().hasEnded() ? 1 : 0;
}

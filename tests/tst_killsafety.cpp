// Kills at any moment lose nothing. The program is started on one
// application directory again and again, set to book and rename as fast as
// it can, and killed with SIGKILL at a random moment; after every kill
// "MD.dat" must hold the totals from just before or just after the change
// in flight, and "Item.dat" one whole set of names, never a mix. The seed
// and the count come from KAKEIBO_KILL_SEED and KAKEIBO_KILLS.
#include "NamesFormat.h"
#include "TestFiles.h"
#include "TotalsFormat.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace kakeibo;
using Totals = TotalsFormat::Totals;
using Names = NamesFormat::Names;

namespace {

Names namesOf(QChar set)
{
    Names names;
    for (int slot = 0; slot < kSlotCount; ++slot)
        names[slot] = set + QString::number(slot);
    return names;
}

int envOr(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// The files as the last run left them; the next run's bookings add to them.
struct Model {
    Totals totals{};
    QChar names = QLatin1Char('D');  // D: the design-time names

    Totals afterBookings(int count) const
    {
        Totals next = totals;
        for (int n = 0; n < count; ++n)
            next[n % kSlotCount] += 1;
        return next;
    }
};

} // namespace

class TestKillSafety : public QObject {
    Q_OBJECT

private slots:
    void killsLoseNothing();
};

void TestKillSafety::killsLoseNothing()
{
    const int kills = envOr("KAKEIBO_KILLS", 200);
    const quint32 seed = quint32(envOr("KAKEIBO_KILL_SEED", 20261207));
    QRandomGenerator random(seed);
    qInfo("kills: %d, seed: %u", kills, seed);

    QTemporaryDir dir;
    QFile::copy(KAKEIBO_SOURCE_DIR "/app/Icon.ico", dir.filePath("Icon.ico"));
    QFile::copy(KAKEIBO_SOURCE_DIR "/app/Item.dat", dir.filePath("Item.dat"));
    TestFiles::write(dir.filePath("MD.dat"), TotalsFormat::encode({}));
    const QByteArray designNames = TestFiles::read(dir.filePath("Item.dat"));
    Model model;
    int changesSeen = 0;
    int killedWhileChanging = 0;

    for (int round = 0; round < kills; ++round) {
        const QString context = QStringLiteral("round %1, seed %2").arg(round).arg(seed);
        QProcess target;
        target.setProcessChannelMode(QProcess::SeparateChannels);
        target.start(QStringLiteral(KAKEIBO_KILL_TARGET), {dir.path()});
        QVERIFY2(target.waitForStarted(), qPrintable(context));
        // Every tenth run is let through start-up first, to prove a start
        // after a kill works; the others die at any moment, start-up included.
        if (round % 10 == 0)
            QVERIFY2(target.waitForReadyRead(10000), qPrintable(context));
        QThread::msleep(random.bounded(20, 250));
        target.kill();
        target.waitForFinished();
        // A Windows program's standard output ends its lines with CR LF.
        const QString output = QString::fromUtf8(target.readAllStandardOutput()).remove(QLatin1Char('\r'));
        const QStringList lines = output.split('\n', Qt::SkipEmptyParts);
        if (round % 10 == 0)
            QCOMPARE(lines.value(0), QStringLiteral("started"));
        for (const QString &line : lines)
            QVERIFY2(!line.startsWith("message"), qPrintable(context + ": " + line));
        const QString errors = QString::fromLocal8Bit(target.readAllStandardError());
        QVERIFY2(!errors.contains("Sanitizer") && !errors.contains("runtime error:"), qPrintable(context + errors));

        int booked = 0;
        QChar renamed = model.names;
        for (const QString &line : lines) {
            if (line == QLatin1String("booked"))
                ++booked;
            else if (line.startsWith(QLatin1String("renamed ")))
                renamed = line.back();
        }
        changesSeen += lines.size();

        const QByteArray md = TestFiles::read(dir.filePath("MD.dat"));
        QCOMPARE(md.size(), 24);
        const Totals onDisk = TotalsFormat::decode(md);
        const Totals done = model.afterBookings(booked);
        const Totals inFlight = model.afterBookings(booked + 1);
        QVERIFY2(onDisk == done || onDisk == inFlight, qPrintable(context));
        if (onDisk == inFlight && onDisk != done)
            ++killedWhileChanging;

        const QByteArray item = TestFiles::read(dir.filePath("Item.dat"));
        const auto names = NamesFormat::decode(item);
        QVERIFY2(names.ok(), qPrintable(context));
        const QChar other = renamed == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        const bool whole = names.value() == namesOf(renamed) || names.value() == namesOf(other)
                           || (renamed == QLatin1Char('D') && item == designNames);
        QVERIFY2(whole, qPrintable(context));

        model.totals = onDisk;
        model.names = item == designNames ? QLatin1Char('D') : names.value()[0][0];
    }
    qInfo("changes completed: %d; kills that caught a booking written but not yet reported: %d",
          changesSeen, killedWhileChanging);
    qInfo("files left beside the data: %s",
          qPrintable(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(' ')));
}

QTEST_GUILESS_MAIN(TestKillSafety)
#include "tst_killsafety.moc"

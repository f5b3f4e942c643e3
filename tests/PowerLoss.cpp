#include "PowerLoss.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

using kakeibo::SystemFiles::Step;

namespace {

constexpr qsizetype kBlock = 512;

struct Inode {
    QByteArray onDevice;  // what was last forced
    QByteArray written;   // what the program sees
};

} // namespace

struct PowerLoss::Model {
    std::vector<Inode> inodes;
    QMap<QString, int> names;          // the folder as the program sees it
    QMap<QString, int> namesOnDevice;  // as it was last forced
};

PowerLoss::PowerLoss(const QString &directory) : m_directory(QFileInfo(directory).absoluteFilePath())
{
    const QDir dir(m_directory);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            m_initial[name] = file.readAll();
    }
    kakeibo::SystemFiles::setWatcher(this);
}

PowerLoss::~PowerLoss()
{
    kakeibo::SystemFiles::setWatcher(nullptr);
}

void PowerLoss::after(const Step &step)
{
    m_steps.append(step);
}

PowerLoss::Model PowerLoss::replay(int count) const
{
    Model model;
    for (auto it = m_initial.cbegin(); it != m_initial.cend(); ++it) {
        model.names[it.key()] = int(model.inodes.size());
        model.inodes.push_back({it.value(), it.value()});
    }
    model.namesOnDevice = model.names;
    const auto nameOf = [this](const QString &path) {
        const QFileInfo info(path);
        return info.absolutePath() == m_directory ? info.fileName() : QString();
    };
    for (int i = 0; i < count; ++i) {
        const Step &step = m_steps[i];
        const QString name = nameOf(step.path);
        if (step.kind == Step::Kind::SyncDirectory) {
            if (QFileInfo(step.path).absoluteFilePath() == m_directory)
                model.namesOnDevice = model.names;
            continue;
        }
        if (name.isEmpty())
            continue;
        switch (step.kind) {
        case Step::Kind::Create:
            model.names[name] = int(model.inodes.size());
            model.inodes.push_back({});
            break;
        case Step::Kind::Rename:
            if (model.names.contains(name))
                model.names[nameOf(step.target)] = model.names.take(name);
            break;
        case Step::Kind::Remove:
            model.names.remove(name);
            break;
        case Step::Kind::Write:
        case Step::Kind::Sync: {
            if (!model.names.contains(name))
                break;
            Inode &inode = model.inodes[size_t(model.names[name])];
            if (step.kind == Step::Kind::Sync) {
                inode.onDevice = inode.written;
            } else {
                const qsizetype end = step.offset + step.bytes.size();
                if (inode.written.size() < end)
                    inode.written.resize(end, '\0');
                inode.written.replace(step.offset, step.bytes.size(), step.bytes);
            }
            break;
        }
        default:
            break;
        }
    }
    return model;
}

PowerLoss::Files PowerLoss::written(int count) const
{
    const Model model = replay(count);
    Files files;
    for (auto it = model.names.cbegin(); it != model.names.cend(); ++it)
        files[it.key()] = model.inodes[size_t(it.value())].written;
    return files;
}

namespace {

// What a file can hold after a power loss: what was forced, what was
// written, and, where they differ in several blocks, each mix of one block
// new among old and one old among new.
QList<QByteArray> contentsAfterPowerLoss(const Inode &inode)
{
    QList<QByteArray> contents{inode.onDevice};
    if (inode.written == inode.onDevice)
        return contents;
    contents.append(inode.written);
    const qsizetype length = std::max(inode.onDevice.size(), inode.written.size());
    QByteArray old = inode.onDevice;
    old.resize(length, '\0');
    QByteArray fresh = inode.written;
    fresh.resize(length, '\0');
    QList<qsizetype> changed;
    for (qsizetype block = 0; block < length; block += kBlock) {
        if (old.mid(block, kBlock) != fresh.mid(block, kBlock))
            changed.append(block);
    }
    if (changed.size() < 2)
        return contents;
    for (const qsizetype block : changed) {
        QByteArray oneNew = old;
        oneNew.replace(block, std::min(kBlock, length - block), fresh.mid(block, kBlock));
        QByteArray oneOld = fresh;
        oneOld.replace(block, std::min(kBlock, length - block), old.mid(block, kBlock));
        contents << oneNew.left(inode.written.size()) << oneOld.left(inode.written.size());
    }
    return contents;
}

} // namespace

QList<PowerLoss::Files> PowerLoss::afterPowerLoss(int count) const
{
    const Model model = replay(count);
    QList<Files> states{Files()};
    for (auto it = model.namesOnDevice.cbegin(); it != model.namesOnDevice.cend(); ++it) {
        QList<Files> grown;
        for (const QByteArray &content : contentsAfterPowerLoss(model.inodes[size_t(it.value())])) {
            for (Files state : std::as_const(states)) {
                state[it.key()] = content;
                grown.append(state);
            }
        }
        states = grown;
    }
    return states;
}

QString PowerLoss::describe(int step) const
{
    if (step < 0)
        return QStringLiteral("none yet");
    if (step >= int(m_steps.size()))
        return QStringLiteral("the end");
    static const char *const kinds[] = {"create", "write", "sync", "rename", "sync folder", "remove", "open"};
    const Step &s = m_steps[step];
    return QStringLiteral("%1 %2%3").arg(QLatin1String(kinds[int(s.kind)]), s.path,
                                         s.target.isEmpty() ? QString() : QStringLiteral(" -> ") + s.target);
}

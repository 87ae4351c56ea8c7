#include "tests/support/TreeSnapshot.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>

namespace {

// Visits every regular file under root with its relative path.
template <typename Visit>
void ForEachFile(const QString& root, Visit visit)
{
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isFile())
            visit(it.filePath().mid(root.size() + 1), it.filePath());
    }
}

}  // namespace

TreeSnapshot SnapshotTree(const QString& root)
{
    TreeSnapshot snapshot;
    ForEachFile(root, [&](const QString& relative, const QString& path) {
        QFile file(path);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(&file);
        else
            hash.addData("unreadable");
        snapshot[QFile::encodeName(relative)] = hash.result().toHex();
    });
    return snapshot;
}

std::multiset<QByteArray> ContentChecksums(const TreeSnapshot& snapshot)
{
    std::multiset<QByteArray> checksums;
    for (const auto& [path, checksum] : snapshot)
        checksums.insert(checksum);
    return checksums;
}

QStringList TemporaryFiles(const QString& root)
{
    QStringList found;
    ForEachFile(root, [&](const QString& relative, const QString&) {
        const QString name = relative.section(QLatin1Char('/'), -1);
        if (name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".part")))
            found << relative;
    });
    return found;
}

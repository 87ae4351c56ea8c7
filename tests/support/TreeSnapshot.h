#pragma once

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <map>
#include <set>

// Every regular file under a folder, by its path relative to that folder, with
// a checksum of its content. Links are not followed.
using TreeSnapshot = std::map<QByteArray, QByteArray>;

TreeSnapshot SnapshotTree(const QString& root);

// Checksums of the snapshot with the relative paths left out, so a moved file
// still counts: a file is lost when its checksum is missing afterwards.
std::multiset<QByteArray> ContentChecksums(const TreeSnapshot& snapshot);

// Relative paths of the copy's temporary files (".name.random.part") left
// under the folder.
QStringList TemporaryFiles(const QString& root);

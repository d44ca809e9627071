#pragma once
// Writing and reading the files a test builds, usually in a QTemporaryDir.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace velmora::testing {

// Writes bytes as the whole file, creating its missing folders first.
inline void WriteBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

// The whole file; empty when it cannot be read.
inline QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void SetModified(const QString &path, const QDateTime &when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace velmora::testing

#pragma once
// Helpers for building files in a temporary folder.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace velmora::testing {

inline void WriteBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline void SetModified(const QString &path, const QDateTime &when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace velmora::testing

#include "foundation/folder_listing.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace velmora {

namespace {

struct CloseDir {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

// The name as text, or false when its bytes would not come back from the text
// (not valid UTF-8 under a UTF-8 file-name encoding).
bool DecodeName(const char *raw, QString &name) {
    name = QFile::decodeName(raw);
    for (const char *c = raw; *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80)
            return QFile::encodeName(name) == QByteArray(raw);
    return true;
}

// The directory entry's type tells regular files apart from everything else
// for most entries; only links and entries of unknown type (some file systems
// do not fill it in) need a stat, which follows links.
bool IsRegularFile(int dirFd, const dirent *entry) {
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QStringList ListFolderFileNames(const QString &folder, const FileMask &mask) {
    QStringList names;
    if (folder.isEmpty() || mask.IsEmpty())
        return names;
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    const std::unique_ptr<DIR, CloseDir> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return names;
    }
    QString name;
    while (const dirent *entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        // The mask is cheaper than a stat and rules out most entries of a
        // folder that holds more than pages.
        if (!DecodeName(entry->d_name, name) || !mask.Matches(name))
            continue;
        if (IsRegularFile(fd, entry))
            names.append(name);
    }
    SortFileNamesIgnoringCase(names);
    return names;
}

void SortFileNamesIgnoringCase(QStringList &names) {
    // Folding each name once is far cheaper than folding both sides of every
    // comparison of the sort.
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(names[i].toCaseFolded(), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto &a, const auto &b) {
        if (const int order = QStringView(a.first).compare(b.first); order != 0)
            return order < 0;
        return names[a.second] < names[b.second];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &key : keys)
        sorted.append(std::move(names[key.second]));
    names = std::move(sorted);
}

} // namespace velmora

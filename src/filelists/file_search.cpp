#include "file_search.h"

#include "file_utils.h"
#include "program_folders.h"
#include "text_utils.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

ExtensionFilter::ExtensionFilter(const QString &mask)
    : reducedMask_(AsciiUpper(mask).remove(u'*')) {}

bool ExtensionFilter::Allows(QStringView name) const {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView ext = name.mid(dot, 4);
    if (ext.size() == 1)
        return false;
    char16_t upper[4];
    for (qsizetype i = 0; i < ext.size(); ++i) {
        const char16_t c = ext[i].unicode();
        upper[i] = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    }
    return reducedMask_.contains(QStringView(upper, ext.size()));
}

bool HasAllowedExtension(const QString &name, const QString &mask) {
    return ExtensionFilter(mask).Allows(name);
}

namespace {

// One entry of a listing, with what the search must know about it.
struct ListedEntry {
    QString name;
    bool isDir = false;
    bool isLink = false;
    bool usable = false; // not hidden, name decodable, type known
    bool hasStat = false;
    struct stat st {};
};

// Names that do not survive decoding and encoding again (bytes that are not
// valid in the file-name encoding) could not be opened through the text path.
bool DecodeName(const char *raw, QString &name) {
    name = QFile::decodeName(raw);
    for (const char *c = raw; *c; ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80)
            return QFile::encodeName(name) == QByteArray(raw);
    }
    return true;
}

using FolderId = std::pair<dev_t, ino_t>;

// Reads a whole folder once and closes it again before anything descends, so
// that a deep tree never holds more than one folder open. List returns false
// when the folder cannot be listed or was listed before (a link cycle).
class FolderLister {
public:
    explicit FolderLister(std::set<FolderId> *visited) : visited_(visited) {}

    bool List(const QByteArray &path, const ExtensionFilter *statMatches,
              std::vector<ListedEntry> &entries) {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        if (visited_) {
            struct stat self {};
            if (::fstat(fd, &self) != 0 || !visited_->insert({self.st_dev, self.st_ino}).second) {
                ::close(fd);
                return false;
            }
        }
        DIR *dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return false;
        }
        while (const dirent *d = ::readdir(dir)) {
            ListedEntry entry;
            if (d->d_name[0] != '.' && DecodeName(d->d_name, entry.name))
                Classify(::dirfd(dir), d, statMatches, entry);
            entries.push_back(std::move(entry));
        }
        ::closedir(dir);
        return true;
    }

private:
    // The listing's entry type saves a stat for most entries; links and
    // unknown types are stated (following links), and so are the matches
    // whose size and date the caller needs.
    static void Classify(int dirFd, const dirent *d, const ExtensionFilter *statMatches,
                         ListedEntry &entry) {
        const unsigned char type = d->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            entry.isLink = type == DT_LNK;
            if (type == DT_UNKNOWN) { // some file systems do not tell the type
                if (::fstatat(dirFd, d->d_name, &entry.st, AT_SYMLINK_NOFOLLOW) != 0)
                    return;
                entry.isLink = S_ISLNK(entry.st.st_mode);
            }
            if (::fstatat(dirFd, d->d_name, &entry.st, 0) != 0)
                return; // a dangling link names nothing that could be listed
            entry.hasStat = true;
            entry.isDir = S_ISDIR(entry.st.st_mode);
        } else {
            entry.isDir = type == DT_DIR;
        }
        entry.usable = true;
        if (!entry.hasStat && statMatches && statMatches->Allows(entry.name)) {
            if (::fstatat(dirFd, d->d_name, &entry.st, 0) != 0)
                entry.usable = false;
            else
                entry.hasStat = true;
        }
    }

    std::set<FolderId> *visited_;
};

QString ResultFor(const QString &folder, const ListedEntry &entry, bool entryMode) {
    if (!entryMode)
        return folder + entry.name;
    if (!entry.hasStat)
        return {};
    return MakeEntryLine(folder, {entry.name, qint64(entry.st.st_size), entry.st.st_mtime});
}

class RecursiveSearch {
public:
    RecursiveSearch(const SearchOptions &options, QStringList &out)
        : options_(options), filter_(options.mask), lister_(&visited_), out_(out) {}

    void Search(const QString &folder, const QByteArray &folderBytes) {
        std::vector<ListedEntry> entries;
        if (!lister_.List(folderBytes, options_.entryMode ? &filter_ : nullptr, entries))
            return;
        const bool descendAllowed = options_.descendEverywhere || options_.thumbDir.isEmpty() ||
                                    !IsInThumbFolder(folder, options_.thumbDir);
        for (const ListedEntry &entry : entries) {
            if (options_.onEntry)
                options_.onEntry();
            if (!entry.usable)
                continue;
            if (entry.isDir && descendAllowed && (options_.descendIntoLinks || !entry.isLink) &&
                !AsciiUpper(entry.name).contains(u"_VTI_CNF"_s)) {
                // In entry mode nothing below a folder whose name an entry
                // line cannot hold could be listed.
                if (!options_.entryMode || CanHoldInEntryLine(entry.name)) {
                    const QString sub = folder + entry.name + u'/';
                    Search(sub, QFile::encodeName(sub));
                }
                continue;
            }
            if (!filter_.Allows(entry.name))
                continue;
            QString result = ResultFor(folder, entry, options_.entryMode);
            if (!result.isEmpty())
                out_.append(std::move(result));
        }
    }

private:
    const SearchOptions &options_;
    ExtensionFilter filter_;
    std::set<FolderId> visited_;
    FolderLister lister_;
    QStringList &out_;
};

} // namespace

void SearchFilesRecursive(const QString &folder, const SearchOptions &options, QStringList &out) {
    const QString start = WithBackslash(folder);
    RecursiveSearch(options, out).Search(start, QFile::encodeName(start));
}

void SearchFilesInFolder(QStringList &list, const QString &folder, const QString &mask) {
    const QString start = WithBackslash(folder);
    const ExtensionFilter filter(mask);
    std::vector<ListedEntry> entries;
    if (!FolderLister(nullptr).List(QFile::encodeName(start), &filter, entries))
        return;
    for (const ListedEntry &entry : entries) {
        if (!entry.usable || !filter.Allows(entry.name))
            continue;
        QString line = ResultFor(start, entry, true);
        if (!line.isEmpty())
            list.append(std::move(line));
    }
}

std::optional<FoundEntry> LookUpListedFile(const QString &path) {
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    if (name.isEmpty() || name.startsWith(u'.'))
        return std::nullopt;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FoundEntry{name, qint64(st.st_size), st.st_mtime};
}

} // namespace velmora

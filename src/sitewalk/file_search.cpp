#include "sitewalk/file_search.h"

#include "foundation/file_utils.h"
#include "foundation/program_folders.h"
#include "foundation/text_utils.h"
#include "sitewalk/helper_threads.h"
#include "sitewalk/stat_queue.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <memory>
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
    QByteArray rawName; // kept for the matches still to be stated
    bool isDir = false;
    bool isRegular = false;
    bool isLink = false;
    bool usable = false;  // not hidden, name decodable, type known
    bool passes = false;  // passes the extension test
    bool hasStat = false; // size and modified are known
    qint64 size = 0;
    std::time_t modified = 0;

    void Take(const struct stat &st) {
        hasStat = true;
        size = qint64(st.st_size);
        modified = st.st_mtime;
    }
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

// The test of the names applied while listing (the caller's own, or else the
// extension test), and what to state: nothing beyond links and unknown types,
// the matches as well, or the matches later (their raw names are kept so that
// they can be stated relative to the folder).
struct StatPlan {
    const ExtensionFilter *filter = nullptr;
    const NameTest *nameTest = nullptr;

    bool Passes(const QString &name) const {
        if (nameTest && *nameTest)
            return (*nameTest)(name);
        return filter && filter->Allows(name);
    }
    enum class Matches { Unstated, StatedNow, StatedLater } matches = Matches::Unstated;
};

// Reads a whole folder at once, so that a deep tree never holds more than one
// folder open for listing. List returns the open folder (or -1 when it cannot
// be listed or was listed before, a link cycle); the caller closes it.
class FolderLister {
public:
    explicit FolderLister(std::set<FolderId> *visited) : visited_(visited) {}

    int List(const QByteArray &path, const StatPlan &plan, std::vector<ListedEntry> &entries) {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return -1;
        if (visited_) {
            struct stat self {};
            if (::fstat(fd, &self) != 0 || !visited_->insert({self.st_dev, self.st_ino}).second) {
                ::close(fd);
                return -1;
            }
        }
        entries.reserve(64);
        alignas(dirent64) char buffer[32768];
        for (;;) {
            const ssize_t got = ::getdents64(fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            for (ssize_t offset = 0; offset < got;) {
                const auto *d = reinterpret_cast<const dirent64 *>(buffer + offset);
                offset += d->d_reclen;
                ListedEntry entry;
                if (d->d_name[0] != '.' && DecodeName(d->d_name, entry.name))
                    Classify(fd, d, plan, entry);
                entries.push_back(std::move(entry));
            }
        }
        return fd;
    }

private:
    // The listing's entry type saves a stat for most entries; links and
    // unknown types are stated (following links), and so are the matches
    // whose size and date the caller needs.
    static void Classify(int dirFd, const dirent64 *d, const StatPlan &plan, ListedEntry &entry) {
        const unsigned char type = d->d_type;
        struct stat st {};
        if (type == DT_LNK || type == DT_UNKNOWN) {
            entry.isLink = type == DT_LNK;
            if (type == DT_UNKNOWN) { // some file systems do not tell the type
                if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    return;
                entry.isLink = S_ISLNK(st.st_mode);
            }
            if (::fstatat(dirFd, d->d_name, &st, 0) != 0)
                return; // a dangling link names nothing that could be listed
            entry.Take(st);
            entry.isDir = S_ISDIR(st.st_mode);
            entry.isRegular = S_ISREG(st.st_mode);
        } else {
            entry.isDir = type == DT_DIR;
            entry.isRegular = type == DT_REG;
        }
        entry.usable = true;
        entry.passes = plan.Passes(entry.name);
        if (entry.hasStat || !entry.passes)
            return;
        switch (plan.matches) {
        case StatPlan::Matches::Unstated:
            break;
        case StatPlan::Matches::StatedLater:
            entry.rawName = QByteArray(d->d_name);
            break;
        case StatPlan::Matches::StatedNow:
            if (::fstatat(dirFd, d->d_name, &st, 0) == 0)
                entry.Take(st);
            else
                entry.usable = false;
            break;
        }
    }

    std::set<FolderId> *visited_;
};

QString ResultFor(const QString &folder, const ListedEntry &entry, bool entryMode) {
    if (!entryMode)
        return folder + entry.name;
    if (!entry.hasStat)
        return {};
    return MakeEntryLine(folder, {entry.name, entry.size, entry.modified});
}

// The recursive search lists folders depth first on the calling thread and
// hands the stating of each folder's matches to a StatQueue. Its results are
// kept as slots in search order and moved out as soon as the slots at the
// front are stated.
class RecursiveSearch {
public:
    RecursiveSearch(const FileSearchOptions &options, QStringList &out)
        : options_(options), filter_(options.mask), lister_(&visited_), out_(out),
          stats_(options.entryMode ? HelperThreadCount() : 0) {}

    void Run(const QString &folder) {
        Search(folder, QFile::encodeName(folder), 0);
        for (Slot &slot : pending_)
            stats_.WaitFor(*slot.folder);
        MoveOutStated();
    }

private:
    enum class Role { Skip, Descend, Test };

    struct Slot {
        std::shared_ptr<FolderStats> folder;
        size_t match;
    };

    Role RoleOf(const ListedEntry &entry, bool descendAllowed) const {
        if (!entry.usable)
            return Role::Skip;
        if (entry.isDir && descendAllowed && options_.includeSubfolders &&
            (options_.descendIntoLinks || !entry.isLink) &&
            !AsciiUpper(entry.name).contains(u"_VTI_CNF"_s))
            return Role::Descend;
        if (options_.regularFilesOnly && !entry.isRegular)
            return Role::Skip;
        return Role::Test;
    }

    bool StopRequested() const { return options_.stopRequested && options_.stopRequested(); }

    void Search(const QString &folder, const QByteArray &folderBytes, size_t depth) {
        if (StopRequested())
            return;
        // One listing per depth, reused from folder to folder: allocating
        // a fresh one for each of thousands of folders showed in profiles.
        if (levels_.size() <= depth)
            levels_.resize(depth + 1);
        std::vector<ListedEntry> &entries = levels_[depth];
        entries.clear();
        const StatPlan plan{&filter_, &options_.nameTest,
                            options_.entryMode ? StatPlan::Matches::StatedLater
                                               : StatPlan::Matches::Unstated};
        const int fd = lister_.List(folderBytes, plan, entries);
        if (fd < 0)
            return;
        const bool descendAllowed = options_.descendEverywhere || options_.thumbDir.isEmpty() ||
                                    !IsInThumbFolder(folder, options_.thumbDir);
        std::vector<Role> roles;
        roles.reserve(entries.size());
        for (const ListedEntry &entry : entries)
            roles.push_back(RoleOf(entry, descendAllowed));
        const std::shared_ptr<FolderStats> stated = SubmitMatches(fd, folder, entries, roles);

        size_t match = 0;
        for (size_t k = 0; k < entries.size(); ++k) {
            if (options_.onEntry)
                options_.onEntry();
            const ListedEntry &entry = entries[k];
            if (roles[k] == Role::Descend) {
                // In entry mode nothing below a folder whose name an entry
                // line cannot hold could be listed.
                if (!options_.entryMode || CanHoldInEntryLine(entry.name)) {
                    const QString sub = folder + entry.name + u'/';
                    Search(sub, QFile::encodeName(sub), depth + 1);
                }
            } else if (roles[k] == Role::Test && entry.passes) {
                if (stated)
                    pending_.push_back({stated, match++});
                else if (options_.onFound)
                    options_.onFound(folder + entry.name);
                else
                    out_.append(folder + entry.name);
            }
            if (!stated && StopRequested())
                break;
        }
        MoveOutStated();
    }

    // In entry mode the folder's matches go to the stat queue, which takes
    // over the open folder; otherwise, or without matches, the folder is
    // closed here.
    std::shared_ptr<FolderStats> SubmitMatches(int fd, const QString &folder,
                                               std::vector<ListedEntry> &entries,
                                               const std::vector<Role> &roles) {
        if (!options_.entryMode) {
            ::close(fd);
            return nullptr;
        }
        std::vector<FolderStats::Match> matches;
        matches.reserve(size_t(std::count(roles.begin(), roles.end(), Role::Test)));
        for (size_t k = 0; k < entries.size(); ++k) {
            ListedEntry &entry = entries[k];
            if (roles[k] == Role::Test && entry.passes)
                matches.push_back({entry.name, std::move(entry.rawName), entry.hasStat, entry.size,
                                   entry.modified});
        }
        if (matches.empty()) {
            ::close(fd);
            return nullptr;
        }
        auto stated = std::make_shared<FolderStats>(fd, folder, std::move(matches));
        stats_.Submit(stated);
        return stated;
    }

    void MoveOutStated() {
        while (!pending_.empty() && pending_.front().folder->Done()) {
            Slot &slot = pending_.front();
            QString line = slot.folder->TakeLine(slot.match);
            if (!line.isEmpty())
                out_.append(std::move(line));
            pending_.pop_front();
        }
    }

    const FileSearchOptions &options_;
    ExtensionFilter filter_;
    std::set<FolderId> visited_;
    FolderLister lister_;
    QStringList &out_;
    std::deque<Slot> pending_;
    // A deque, so that adding a deeper level never moves the shallower ones.
    std::deque<std::vector<ListedEntry>> levels_;
    StatQueue stats_; // last, so that its helpers stop before the rest goes
};

} // namespace

void SearchFilesRecursive(const QString &folder, const FileSearchOptions &options,
                          QStringList &out) {
    const QString start = WithBackslash(folder);
    RecursiveSearch(options, out).Run(start);
}

void SearchFilesInFolder(QStringList &list, const QString &folder, const QString &mask) {
    const QString start = WithBackslash(folder);
    const ExtensionFilter filter(mask);
    std::vector<ListedEntry> entries;
    const int fd = FolderLister(nullptr).List(
        QFile::encodeName(start), {&filter, nullptr, StatPlan::Matches::StatedNow}, entries);
    if (fd < 0)
        return;
    ::close(fd);
    for (const ListedEntry &entry : entries) {
        if (!entry.usable || !entry.passes)
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

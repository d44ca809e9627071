// Command tool for the side-by-side comparisons of compare.py:
//   gen-tree DIR FOLDERS FILES_PER_FOLDER   a tree of pages to search
//   gen-lines FILE COUNT                    entry lines with repeated paths
//   search DIR [LISTFILE]                   recursive search in entry mode
//   dedup FILE                              RemoveDuplicateEntries on a file
//   verify LISTFILE PATHSFILE               load + verify; PATHSFILE gets the paths
// Prints the time spent inside the operation in milliseconds.

#include "filelists/duplicate_entries.h"
#include "filelists/file_list_model.h"
#include "filelists/list_file.h"
#include "filelists/list_verification.h"
#include "foundation/progress.h"
#include "sitewalk/file_search.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

const char *const kExtensions[] = {".htm", ".html", ".asp", ".shtml", ".cfm"};

int GenerateTree(const QString &root, int folders, int filesPerFolder) {
    const int top = 50;
    for (int f = 0; f < folders; ++f) {
        const QString folder = root + u"/section%1/part%2/"_s.arg(f % top).arg(f / top);
        QDir().mkpath(folder);
        for (int i = 0; i < filesPerFolder; ++i) {
            QFile file(folder + u"page%1"_s.arg(i) +
                       QString::fromLatin1(kExtensions[i % std::size(kExtensions)]));
            if (!file.open(QIODevice::WriteOnly))
                return 1;
            file.write(QByteArray(64 + (i * 37) % 4000, 'x'));
        }
    }
    return 0;
}

int GenerateLines(const QString &path, int count) {
    QRandomGenerator random(7);
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        // About one line in ten repeats a path with another size and date.
        const int id = random.bounded(count - count / 10);
        lines.append(
            u"/home/user/web/site%1/dir%2/*Page%3*.htm*%4*20%5-0%6-1%7  1%8:3%9"_s.arg(id % 97)
                .arg(id % 1013)
                .arg(id)
                .arg(random.bounded(100000))
                .arg(10 + random.bounded(10))
                .arg(1 + random.bounded(9))
                .arg(random.bounded(10))
                .arg(random.bounded(10))
                .arg(random.bounded(10)));
    }
    return WriteListFile(path, lines) ? 0 : 1;
}

int Search(const QString &root, const QString &savePath) {
    QStringList out;
    QElapsedTimer timer;
    qint64 firstNs = -1;
    FileSearchOptions options;
    options.mask = u"*.htm;*.asp;*.sht;*.dht;*.cfm"_s;
    options.onEntry = [&] {
        if (firstNs < 0 && !out.isEmpty())
            firstNs = timer.nsecsElapsed();
    };
    timer.start();
    SearchFilesRecursive(root, options, out);
    const qint64 totalNs = timer.nsecsElapsed();
    std::printf("results %lld first_ms %.3f op_ms %.3f\n", static_cast<long long>(out.size()),
                firstNs / 1e6, totalNs / 1e6);
    if (!savePath.isEmpty() && !WriteListFile(savePath, out))
        return 1;
    return out.isEmpty() ? 1 : 0;
}

int Dedup(const QString &path) {
    ListFileText read = ReadListFile(path);
    if (!read.ok)
        return 1;
    QElapsedTimer timer;
    timer.start();
    RemoveDuplicateEntries(read.lines);
    std::printf("kept %lld op_ms %.3f\n", static_cast<long long>(read.lines.size()),
                timer.nsecsElapsed() / 1e6);
    return 0;
}

// Stands in for the main window's progress bar, so that the verification
// runs the same path as after a load in the program.
class CountingProgress final : public ProgressBar {
public:
    void SetRange(int, int) override {}
    void SetPosition(int) override { ++moves_; }
    int moves_ = 0;
};

int Verify(const QString &listPath, const QString &pathsFile) {
    ListFileText read = ReadListFile(listPath);
    if (!read.ok)
        return 1;
    FileListModel model;
    model.FillLVFromList(read.lines);
    if (!pathsFile.isEmpty()) {
        QFile paths(pathsFile);
        if (!paths.open(QIODevice::WriteOnly))
            return 1;
        for (int row = 0; row < model.Count(); ++row)
            paths.write(QFile::encodeName(model.GetLVEntryPath(row)) + '\n');
        return 0;
    }
    QStringList work;
    CountingProgress progress;
    QElapsedTimer timer;
    timer.start();
    const VerifyResult result = VerifyLoadedList(model, work, &progress);
    std::printf("total %d removed %d updated %d progress %d op_ms %.3f\n", result.total,
                result.removed, result.updated, progress.moves_, timer.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString command = args.value(1);
    if (command == u"gen-tree"_s && args.size() == 5)
        return GenerateTree(args[2], args[3].toInt(), args[4].toInt());
    if (command == u"gen-lines"_s && args.size() == 4)
        return GenerateLines(args[2], args[3].toInt());
    if (command == u"search"_s && args.size() >= 3)
        return Search(args[2], args.value(3));
    if (command == u"dedup"_s && args.size() == 3)
        return Dedup(args[2]);
    if (command == u"verify"_s && args.size() >= 3)
        return Verify(args[2], args.value(3));
    std::fprintf(stderr, "usage: see the comment at the top of bench_tool.cpp\n");
    return 2;
}

// velmora-check: checks the local links of a site kept in a folder and prints
// one line per problem, for build scripts and the shell.

#include "foundation/program_folders.h"
#include "foundation/program_version.h"
#include "foundation/settings.h"
#include "sitecheck/site_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <new>

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kUsage =
    "Usage: velmora-check [--anchors] [--external] [--start PAGE] [--no-subfolders]\n"
    "                     [--csv] FOLDER\n"
    "       velmora-check --help | --version\n"
    "Checks the links of the pages in FOLDER and its subfolders: missing files\n"
    "and pictures, wrong letter case, links outside FOLDER and folders without\n"
    "an index page. Prints one line per problem, PAGE:LINE: PROBLEM: LINK, with\n"
    "the paths relative to FOLDER, sorted by page and line. Nothing is fetched\n"
    "from the network.\n"
    "  --anchors         also check the #part of links against the target page\n"
    "  --external        also list links to other sites (not checked)\n"
    "  --start PAGE      also list the pages no link from PAGE leads to\n"
    "  --no-subfolders   check only the pages of FOLDER itself\n"
    "  --csv             print the problems as CSV with a header line\n"
    "Exit status: 0 no problem, 1 problems found, 2 bad usage or unreadable folder.\n";

constexpr int kNoProblem = 0;
constexpr int kProblems = 1;
constexpr int kBadUsage = 2;

void Complain(const QString &message) {
    std::fprintf(stderr, "velmora-check: %s\n", qPrintable(message));
}

struct Arguments {
    velmora::SiteCheckOptions options;
    bool csv = false;
    bool help = false;
    bool version = false;
};

// Returns false (after saying why) for an argument list it cannot use.
bool ParseArguments(const QStringList &args, Arguments &out) {
    out.options.anchors = false;
    QStringList folders;
    bool foldersOnly = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (foldersOnly || !a.startsWith(u'-') || a == u"-") {
            folders.append(a);
        } else if (a == u"--") {
            foldersOnly = true;
        } else if (a == u"--anchors") {
            out.options.anchors = true;
        } else if (a == u"--external") {
            out.options.external = true;
        } else if (a == u"--no-subfolders") {
            out.options.subfolders = false;
        } else if (a == u"--csv") {
            out.csv = true;
        } else if (a == u"--start") {
            if (++i >= args.size()) {
                Complain(u"--start needs a page"_s);
                return false;
            }
            out.options.startPage = args[i];
        } else if (a.startsWith(u"--start=")) {
            out.options.startPage = a.mid(8);
        } else if (a == u"--help" || a == u"-h") {
            out.help = true;
        } else if (a == u"--version") {
            out.version = true;
        } else {
            Complain(u"unknown option %1"_s.arg(a));
            return false;
        }
    }
    if (out.help || out.version)
        return true;
    if (folders.size() != 1) {
        Complain(folders.isEmpty() ? u"no folder given"_s : u"give one folder only"_s);
        return false;
    }
    out.options.folder = QDir(folders.first()).absolutePath();
    return true;
}

// The page extensions and the thumbnail folder come from the program's
// settings, as the window's check takes them.
void TakeSettings(velmora::SiteCheckOptions &options) {
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const velmora::ProgramFolders folders =
        velmora::ProgramFolders::Locate(QCoreApplication::applicationDirPath(), userData);
    const velmora::Settings settings =
        velmora::LoadSettings(folders.SettingsFile(), folders.ProgramDir, QSize(1024, 768));
    options.allowedExtensions = settings.AllowedExtensions;
    options.thumbDir = folders.ThumbDir;
}

bool Print(const QByteArray &bytes) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

int Run(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"Velmora"_s);
    Arguments args;
    if (!ParseArguments(QCoreApplication::arguments(), args)) {
        std::fputs(kUsage, stderr);
        return kBadUsage;
    }
    if (args.help) {
        std::fputs(kUsage, stdout);
        return kNoProblem;
    }
    if (args.version) {
        std::printf("velmora-check %s\n", velmora::ProgramVersion());
        return kNoProblem;
    }
    TakeSettings(args.options);
    const velmora::SiteCheck check(args.options);
    if (const QString reason = check.CheckOptions(); !reason.isEmpty()) {
        Complain(reason);
        return kBadUsage;
    }
    QList<velmora::LinkProblem> problems;
    check.Run([&problems](const velmora::LinkProblem &problem) { problems.append(problem); });
    velmora::SortProblems(problems);

    QByteArray output;
    if (args.csv) {
        output = velmora::ProblemsCsv(problems);
    } else {
        for (const velmora::LinkProblem &problem : problems)
            output += velmora::ProblemLine(problem).toUtf8() + '\n';
    }
    if (!Print(output) || std::fflush(stdout) != 0) {
        Complain(u"cannot write to standard output"_s);
        return kBadUsage;
    }
    return problems.isEmpty() ? kNoProblem : kProblems;
}

} // namespace

int main(int argc, char **argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("velmora-check: not enough memory\n", stderr);
        return kBadUsage;
    }
}

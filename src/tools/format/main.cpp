// velmora-format: formats HTML files (or standard input) with a formatter
// style, printing the result or writing it back into each file.

#include "formatter/formatter_file.h"
#include "formatter/html_formatter.h"
#include "foundation/atomic_file.h"
#include "foundation/file_reader.h"
#include "foundation/program_version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <new>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kUsage =
    "Usage: velmora-format [--style NAME|DIR] [--in-place] [FILE...]\n"
    "       velmora-format --help | --version\n"
    "Formats each HTML FILE (standard input when none is given) with the\n"
    "formatter style NAME from the styles beside the program (such as THUMBS,\n"
    "the default, or HTML5) or the style in the folder DIR, and\n"
    "writes the result to standard output, or back into the file with\n"
    "--in-place. Each file keeps its encoding and its line ends. Files that\n"
    "are not text (such as pictures) are refused and left as they are.\n";

// Output is passed to stdio in pieces of about this many bytes.
constexpr qsizetype kWriteBuffer = 64 * 1024;

void Complain(const QString &message) {
    std::fprintf(stderr, "velmora-format: %s\n", qPrintable(message));
}

bool WriteAll(FILE *stream, const QByteArray &bytes) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) ==
               size_t(bytes.size()) &&
           std::fflush(stream) == 0;
}

struct Arguments {
    QString style;
    bool inPlace = false;
    bool version = false;
    QStringList files;
};

// Returns false (after saying why) for an argument list it cannot use.
bool ParseArguments(const QStringList &args, Arguments &out, bool &help) {
    bool filesOnly = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (filesOnly || !a.startsWith(u'-') || a == u"-") {
            out.files.append(a);
        } else if (a == u"--") {
            filesOnly = true;
        } else if (a == u"--in-place" || a == u"-i") {
            out.inPlace = true;
        } else if (a == u"--style" || a == u"-s") {
            if (++i >= args.size()) {
                Complain(u"--style needs a style name or a folder"_s);
                return false;
            }
            out.style = args[i];
        } else if (a.startsWith(u"--style=")) {
            out.style = a.mid(8);
        } else if (a == u"--help" || a == u"-h") {
            help = true;
        } else if (a == u"--version") {
            out.version = true;
        } else {
            Complain(u"unknown option %1"_s.arg(a));
            return false;
        }
    }
    return true;
}

// The folder the program file is in, links resolved (the styles lie beside
// the program, not beside a link to it). The program needs no application
// object, whose setting up is a noticeable part of a short run: the kernel
// names the program file, as Qt itself would ask it.
QString ProgramFolder(const char *argv0) {
    QString program = QFile::symLinkTarget(u"/proc/self/exe"_s);
    if (program.isEmpty())
        program = QFileInfo(QString::fromLocal8Bit(argv0)).canonicalFilePath();
    return QFileInfo(program).absolutePath();
}

QStringList ArgumentList(int argc, char **argv) {
    QStringList args;
    args.reserve(argc);
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return args;
}

// The folder of a style given by name (a folder under STYLES beside the
// program) or as a folder. A bare name is looked for among the styles first.
QString StyleFolderFor(const QString &programFolder, const QString &style) {
    const QString styles = programFolder + u"/STYLES/"_s;
    if (style.isEmpty())
        return styles + u"THUMBS"_s;
    const bool bareName = !style.contains(u'/') && style != u"." && style != u"..";
    if (bareName && QFileInfo(styles + style).isDir())
        return styles + style;
    return style;
}

// A page of a few megabytes is held several times over while it is read,
// decoded, cut into lines and laid out; touching that memory page by page
// costs the kernel a fault for every 4 KB, a large part of the whole run. The
// working memory is therefore taken from one heap grown in large steps, which
// the kernel is asked to back with large pages where it offers them.
void UseLargePagesForWorkingMemory() {
#if defined(__linux__) && defined(__GLIBC__)
    constexpr int kHeapStep = 64 << 20;
    constexpr int kLargestHeapBlock = 32 << 20; // the most glibc takes
    constexpr uintptr_t kLargePage = 2 << 20;
    // Large blocks from the heap instead of a mapping each, the heap grown
    // and never given back in steps of kHeapStep.
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TOP_PAD, kHeapStep);
    mallopt(M_TRIM_THRESHOLD, kHeapStep);
    // A block as large as the step makes the heap grow now; the grown part
    // is advised and then given to malloc to hand out.
    void *const block = malloc(kLargestHeapBlock / 2);
    if (!block)
        return;
    const auto from = (reinterpret_cast<uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
    const auto to = reinterpret_cast<uintptr_t>(sbrk(0)) & ~(kLargePage - 1);
    if (to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
    free(block);
#endif
}

} // namespace

static int Run(int argc, char **argv) {
    Arguments args;
    bool help = false;
    if (!ParseArguments(ArgumentList(argc, argv), args, help)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.version) {
        std::printf("velmora-format %s\n", velmora::ProgramVersion());
        return 0;
    }
    const QString styleDir = StyleFolderFor(ProgramFolder(argv[0]), args.style);
    if (!QFileInfo(styleDir).isDir()) {
        Complain(u"style folder %1 not found"_s.arg(args.style.isEmpty() ? styleDir : args.style));
        return 2;
    }
    const velmora::FormatterStyle style = velmora::LoadFormatterStyle(styleDir);

    if (args.files.isEmpty())
        args.files.append(u"-"_s);
    int status = 0;
    for (const QString &file : args.files) {
        const bool stdinput = file == u"-";
        if (stdinput && args.inPlace) {
            Complain(u"--in-place needs file names, not standard input"_s);
            status = 1;
            continue;
        }
        QString error;
        QByteArray input;
        if (stdinput) {
            velmora::FileRead read = velmora::ReadStream(stdin, velmora::kMaxPageBytes);
            if (!read.ok()) {
                Complain(u"cannot read standard input: %1"_s.arg(read.error));
                status = 1;
                continue;
            }
            input = std::move(read.bytes);
        } else if (!velmora::ReadWholeFile(file, input, error)) {
            Complain(u"cannot read %1: %2"_s.arg(file, error));
            status = 1;
            continue;
        }
        // Pictures and other binary files are neither rewritten nor printed:
        // formatting them would only produce garbage.
        const QString name = stdinput ? u"standard input"_s : file;
        const auto refuse = [&] {
            Complain(u"not formatting %1: not a text file"_s.arg(name));
            status = 1;
        };
        if (args.inPlace) {
            // The old bytes stay to compare with: an unchanged file is not
            // rewritten.
            QByteArray output;
            if (!velmora::FormatFileStream(
                    input, style, [&output](const QByteArray &chunk) { output += chunk; })) {
                refuse();
                continue;
            }
            if (output != input && !velmora::WriteFileAtomically(file, output, &error)) {
                Complain(u"cannot write %1: %2"_s.arg(file, error));
                status = 1;
            }
            continue;
        }
        // To standard output the formatted lines go out as they are made, so
        // the whole result is never held in memory.
        bool written = true;
        QByteArray buffer;
        buffer.reserve(kWriteBuffer);
        const bool text =
            velmora::FormatFileStream(std::move(input), style, [&](const QByteArray &chunk) {
                buffer += chunk;
                if (buffer.size() >= kWriteBuffer) {
                    written = written && WriteAll(stdout, buffer);
                    buffer.resize(0);
                }
            });
        if (!text) {
            refuse();
            continue;
        }
        if (!(written && WriteAll(stdout, buffer))) {
            Complain(u"cannot write to standard output"_s);
            return 1;
        }
    }
    return status;
}

int main(int argc, char **argv) {
    // A page too large for the memory at hand is a message, never an abort.
    try {
        UseLargePagesForWorkingMemory();
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("velmora-format: not enough memory\n", stderr);
        return 1;
    }
}

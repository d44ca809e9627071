#include "tools/thumbs/page_thumbnail.h"

#include "foundation/atomic_file.h"
#include "pictures/resample.h"
#include "render/render_environment.h"
#include "render/render_profile.h"
#include "thumbs/capture/page_capture.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

enum ExitCode { kMade = 0, kFailed = 1, kUsage = 2 };

// The page is laid out as in a browser window of this size, and the top of
// it is what the thumbnail shows.
constexpr QSize kPageWindow(1024, 768);
// Thumbnails larger than this are no thumbnails.
constexpr int kLargestBound = 2048;
// The engine's own start and end count against the time limit too; past the
// limit and this much more, the process ends whatever the engine is doing.
constexpr int kWatchdogGraceMs = 3000;

int Fail(const QString &what) {
    std::fprintf(stderr, "velmora-thumbs: %s\n", qPrintable(what));
    return kFailed;
}

// A folder only this process uses, for everything the engine and the
// libraries under it write (profile, caches, sockets), removed at the end.
class PrivateFolder {
public:
    PrivateFolder() {
        QByteArray base = qgetenv("TMPDIR");
        if (base.isEmpty() || !QFileInfo(QString::fromLocal8Bit(base)).isWritable())
            base = "/tmp";
        QByteArray pattern = base + "/velmora-thumbnail-XXXXXX";
        if (::mkdtemp(pattern.data()))
            path_ = QString::fromLocal8Bit(pattern);
    }
    ~PrivateFolder() { Remove(); }
    PrivateFolder(const PrivateFolder &) = delete;
    PrivateFolder &operator=(const PrivateFolder &) = delete;

    const QString &Path() const { return path_; }
    void Remove() {
        if (!path_.isEmpty())
            QDir(path_).removeRecursively();
    }

private:
    QString path_;
};

// Ends the process when the run takes longer than it may: a renderer that
// never answers must not hold a file manager's thumbnail queue.
class Watchdog {
public:
    Watchdog(int milliseconds, PrivateFolder &folder)
        : thread_([this, milliseconds, &folder] {
              std::unique_lock lock(lock_);
              if (woken_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [this] { return stopped_; }))
                  return;
              folder.Remove();
              std::fputs("velmora-thumbs: the page took too long\n", stderr);
              ::_exit(kFailed);
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(lock_);
            stopped_ = true;
        }
        woken_.notify_one();
        thread_.join();
    }

private:
    std::mutex lock_;
    std::condition_variable woken_;
    bool stopped_ = false;
    std::thread thread_;
};

// Points home, the XDG folders and the temporary folder at the private
// folder, and renders off screen: the run then needs no display and writes
// nothing into the user's folders, which may be read-only.
void UseBareEnvironment(const QString &folder) {
    const QByteArray path = QFile::encodeName(folder);
    for (const char *name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                             "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"})
        qputenv(name, path);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
}

QByteArray EncodePng(const QImage &picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return {};
    return bytes;
}

int MakeThumbnail(const PageThumbnailJob &job, const QString &page, const QElapsedTimer &clock) {
    RenderProfile profile;
    const int left = job.timeLimitMs - int(clock.elapsed());
    if (left <= 0)
        return Fail(u"%1: the engine did not start in time"_s.arg(page));
    PageCapture capture(profile, nullptr, left);
    Picture shot;
    QString error;
    if (!capture.CapturePage(page, CaptureRequest{kPageWindow}, &shot, &error))
        return Fail(u"%1: %2"_s.arg(page, error));
    const QSize fit = FitThumbnailSize(shot.size(), job.size);
    const QByteArray png = EncodePng(ResampleImage(shot, fit.width(), fit.height()));
    if (png.isEmpty())
        return Fail(u"%1: the picture could not be encoded"_s.arg(page));
    // A thumbnail that came too late is not written: the caller has given up.
    if (clock.elapsed() > job.timeLimitMs)
        return Fail(u"%1: the page took too long"_s.arg(page));
    if (!WriteFileAtomically(job.output, png, &error))
        return Fail(u"%1: %2"_s.arg(job.output, error));
    return kMade;
}

} // namespace

bool ParsePageThumbnailArguments(const QStringList &arguments, PageThumbnailJob *job,
                                 QString *message) {
    QStringList rest = arguments;
    const qsizetype limitAt = rest.indexOf(u"--time-limit"_s);
    if (limitAt >= 0) {
        bool ok = false;
        const double seconds = limitAt + 1 < rest.size() ? rest.at(limitAt + 1).toDouble(&ok) : 0;
        if (!ok || seconds <= 0 || seconds > 3600) {
            *message = u"--time-limit needs seconds from above 0 to 3600"_s;
            return false;
        }
        job->timeLimitMs = int(seconds * 1000);
        rest.remove(limitAt, 2);
    }
    if (rest.size() != 3) {
        *message = u"--thumbnail needs SIZE INPUT OUTPUT"_s;
        return false;
    }
    bool ok = false;
    job->size = rest.at(0).toInt(&ok);
    if (!ok || job->size < 1 || job->size > kLargestBound) {
        *message = u"the thumbnail size must be from 1 to %1"_s.arg(kLargestBound);
        return false;
    }
    job->input = rest.at(1);
    job->output = rest.at(2);
    if (job->input.isEmpty() || job->output.isEmpty()) {
        *message = u"--thumbnail needs SIZE INPUT OUTPUT"_s;
        return false;
    }
    return true;
}

QString PageThumbnailInputPath(const QString &input) {
    if (!input.startsWith(u"file:"_s, Qt::CaseInsensitive)) {
        // Anything else that looks like a URI (http:, smb:, ...) is not local.
        static const QRegularExpression scheme(u"^[A-Za-z][A-Za-z0-9+.-]*:"_s);
        if (scheme.match(input).hasMatch() && !input.startsWith(u'/'))
            return {};
        return QFileInfo(input).absoluteFilePath();
    }
    const QUrl url(input);
    if (!url.isValid() || !url.isLocalFile())
        return {};
    if (!url.host().isEmpty() && url.host() != u"localhost"_s)
        return {};
    return url.toLocalFile();
}

QSize FitThumbnailSize(QSize pageSize, int bound) {
    if (pageSize.isEmpty() || bound < 1)
        return {1, 1};
    const double scale =
        qMin(1.0, qMin(double(bound) / pageSize.width(), double(bound) / pageSize.height()));
    return {qMax(1, qRound(pageSize.width() * scale)), qMax(1, qRound(pageSize.height() * scale))};
}

int RunPageThumbnailer(int argc, char **argv) {
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    PageThumbnailJob job;
    QString message;
    if (!ParsePageThumbnailArguments(arguments, &job, &message)) {
        std::fprintf(stderr, "velmora-thumbs: %s\n", qPrintable(message));
        std::fputs("usage: velmora-thumbs --thumbnail SIZE INPUT OUTPUT [--time-limit SECONDS]\n",
                   stderr);
        return kUsage;
    }
    const QString page = PageThumbnailInputPath(job.input);
    if (page.isEmpty())
        return Fail(u"%1: not a local file"_s.arg(job.input));
    if (!QFileInfo(page).isFile())
        return Fail(u"%1: no such page"_s.arg(page));

    QElapsedTimer clock;
    clock.start();
    PrivateFolder folder;
    if (folder.Path().isEmpty())
        return Fail(u"cannot make a temporary folder"_s);
    Watchdog watchdog(job.timeLimitMs + kWatchdogGraceMs, folder);
    UseBareEnvironment(folder.Path());
    PrepareRenderingBeforeApplication();
    QLoggingCategory::setFilterRules(u"qt.webenginecontext.info=false"_s);
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Velmora"_s);
    return MakeThumbnail(job, page, clock);
}

} // namespace velmora

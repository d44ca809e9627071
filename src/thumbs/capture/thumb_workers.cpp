#include "thumbs/capture/thumb_workers.h"

#include "foundation/failure.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumbnail_maker.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopedValueRollback>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <array>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

constexpr int kMostDefaultJobs = 4;
// How often the main process looks at the stop request.
constexpr int kStopPollMs = 50;
// The worker's answers: "ok" may carry what it handed back after a space.
constexpr QByteArrayView kOk = "ok ";
constexpr QByteArrayView kFailed = "failed ";

enum class PageState { Waiting, Done, NotMade };

struct Worker {
    std::unique_ptr<QProcess> process;
    int page = -1; // the page in hand, if any
    QByteArray received;
    bool failedToStart = false;
};

// The state of one run: which page goes out next, what came back, and the
// reports made so far, in page order.
class WorkerRun {
public:
    WorkerRun(const QStringList &pages, const BatchReport &report, const StopCheck &stopRequested,
              const BatchStart &starting)
        : pages_(pages), states_(pages.size(), PageState::Waiting), results_(pages.size()),
          report_(report), stopRequested_(stopRequested), starting_(starting) {}

    bool HasPagesLeft() const { return !stopping_ && next_ < pages_.size(); }
    void Stop() { stopping_ = true; }

    // Hands the worker the next page, or ends its input when none is left.
    void Feed(Worker &worker) {
        if (!HasPagesLeft()) {
            worker.page = -1;
            worker.process->closeWriteChannel();
            return;
        }
        worker.page = int(next_++);
        if (starting_)
            starting_(worker.page, int(pages_.size()), pages_.at(worker.page));
        worker.process->write(QFile::encodeName(pages_.at(worker.page)) + '\0');
    }

    // A line from the worker: the result of its page in hand.
    void Answer(Worker &worker, const QByteArray &line) {
        if (worker.page < 0)
            return;
        BatchPageResult result;
        result.page = pages_.at(worker.page);
        if (line == "nospace") {
            outOfSpace_ = true;
            stopping_ = true;
            states_[worker.page] = PageState::NotMade;
        } else {
            result.ok = line == "ok" || line.startsWith("ok ");
            const QString text = QString::fromUtf8(
                QByteArray::fromPercentEncoding(line.mid(result.ok ? kOk.size() : kFailed.size())));
            (result.ok ? result.output : result.error) = text;
            Record(worker.page, result);
        }
        worker.page = -1;
    }

    // A report may wait for the user (a question, a message box) with the
    // event loop running, and meanwhile other workers answer: their pages
    // are then reported by the loop here once the report in hand returns,
    // never from inside it, so that reports stay in page order one at a time.
    void ReportInOrder() {
        if (reporting_)
            return;
        const QScopedValueRollback busy(reporting_, true);
        while (reported_ < pages_.size() && states_[reported_] == PageState::Done) {
            const qsizetype index = reported_++;
            if (report_)
                report_(int(index), int(pages_.size()), results_[index]);
            // A report may have asked to stop: no page more goes out.
            if (stopRequested_ && stopRequested_())
                stopping_ = true;
        }
    }

    // The worker ended with a page in hand (its engine failed), or could
    // not be started at all.
    void Lost(Worker &worker, const QString &reason = kEndedUnexpectedly) {
        if (worker.page < 0)
            return;
        Fail(worker.page, reason);
        worker.page = -1;
        ReportInOrder();
    }

    // No worker is left to take the pages not handed out yet (none could be
    // started): each is reported as failed, so that every page is accounted
    // for.
    void FailPagesNotHandedOut(const QString &reason) {
        if (stopping_)
            return;
        while (next_ < pages_.size())
            Fail(int(next_++), reason);
        ReportInOrder();
    }

    BatchSummary Finish() {
        // Pages after one not made (the volume ran short) are reported too.
        for (qsizetype i = reported_; i < pages_.size(); ++i)
            if (states_[i] == PageState::Done && report_)
                report_(int(i), int(pages_.size()), results_[i]);
        summary_.outOfSpace = outOfSpace_;
        summary_.stopped = stopping_ && !outOfSpace_ && next_ < pages_.size();
        return summary_;
    }

private:
    static inline const QString kEndedUnexpectedly = u"The rendering process ended unexpectedly."_s;

    void Fail(int page, const QString &reason) {
        BatchPageResult result;
        result.page = pages_.at(page);
        result.error = reason;
        Record(page, result);
    }

    void Record(int page, const BatchPageResult &result) {
        states_[page] = PageState::Done;
        results_[page] = result;
        ++summary_.done;
        summary_.failed += result.ok ? 0 : 1;
    }

    const QStringList &pages_;
    std::vector<PageState> states_;
    std::vector<BatchPageResult> results_;
    const BatchReport &report_;
    const StopCheck &stopRequested_;
    const BatchStart &starting_;
    qsizetype next_ = 0;
    qsizetype reported_ = 0;
    bool stopping_ = false;
    bool outOfSpace_ = false;
    bool reporting_ = false;
    BatchSummary summary_;
};

} // namespace

int DefaultThumbJobs() {
    return qBound(1, QThread::idealThreadCount(), kMostDefaultJobs);
}

BatchSummary RunThumbWorkers(const QString &program, const QStringList &workerArguments, int jobs,
                             const QStringList &pages, const BatchReport &report,
                             const StopCheck &stopRequested, const BatchStart &starting) {
    WorkerRun run(pages, report, stopRequested, starting);
    QEventLoop loop;
    std::vector<std::unique_ptr<Worker>> workers;
    int running = 0;
    QString startError;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);

    std::function<void(Worker &)> start = [&](Worker &worker) {
        worker.process = std::make_unique<QProcess>();
        worker.received.clear();
        QProcess *process = worker.process.get();
        // The workers' messages (a volume short of space) reach the terminal.
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A worker never shows a window: without a display of its own it
        // neither joins the desktop's session nor its accessibility bus.
        process->setProcessEnvironment(environment);
        QObject::connect(process, &QProcess::readyReadStandardOutput, process, [&, process] {
            Worker &w = *std::find_if(workers.begin(), workers.end(), [&](const auto &x) {
                             return x->process.get() == process;
                         })->get();
            w.received += process->readAllStandardOutput();
            qsizetype end;
            while ((end = w.received.indexOf('\n')) >= 0) {
                const QByteArray line = w.received.left(end);
                w.received.remove(0, end + 1);
                run.Answer(w, line);
                // The worker goes on with its next page while the pages
                // done are reported (the export writes its files there).
                run.Feed(w);
            }
            run.ReportInOrder();
        });
        QObject::connect(process, &QProcess::finished, process, [&, process] {
            Worker &w = *std::find_if(workers.begin(), workers.end(), [&](const auto &x) {
                             return x->process.get() == process;
                         })->get();
            const bool hadPage = w.page >= 0;
            run.Lost(w);
            --running;
            // A worker lost with its page is replaced while pages are left.
            if (hadPage && run.HasPagesLeft()) {
                w.process.release()->deleteLater();
                start(w);
            }
            if (running == 0)
                loop.quit();
        });
        // A program that cannot be started fails its page and is not tried
        // again; the other workers carry on with the rest.
        QObject::connect(
            process, &QProcess::errorOccurred, process, [&, process](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return;
                Worker &w = *std::find_if(workers.begin(), workers.end(), [&](const auto &x) {
                                 return x->process.get() == process;
                             })->get();
                w.failedToStart = true;
                startError =
                    u"The rendering process could not be started: "_s + process->errorString();
                run.Lost(w, startError);
                if (--running == 0)
                    loop.quit();
            });
        ++running;
        worker.failedToStart = false;
        process->start(program, workerArguments);
        // The start may fail at once, inside start(): such a worker gets no
        // page.
        if (!worker.failedToStart)
            run.Feed(worker);
    };

    const int count = int(qMin<qsizetype>(jobs, pages.size()));
    for (int i = 0; i < count; ++i)
        workers.push_back(std::make_unique<Worker>());
    for (auto &worker : workers)
        start(*worker);

    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [&] {
        if (stopRequested && stopRequested())
            run.Stop();
        // Idle workers (their input already ended) need nothing more; the
        // others end once their page in hand is answered.
    });
    stopWatch.start(kStopPollMs);
    if (running > 0)
        loop.exec();
    run.FailPagesNotHandedOut(startError);
    return run.Finish();
}

void RunCaptureWorkers(const QString &program, const QStringList &workerArguments, int jobs,
                       const QStringList &pages, const CaptureRequest &request,
                       const CaptureReport &report, const StopCheck &stopRequested) {
    // The pictures pass through a folder of this process's own, removed with
    // whatever is left in it when the run ends.
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        if (report && !pages.isEmpty())
            report(0, false, {}, u"No folder for the captured pictures: "_s + folder.errorString());
        return;
    }
    const QString folderPath = QDir(folder.path()).absolutePath();
    const QStringList arguments =
        workerArguments +
        QStringList{
            u"--base"_s,        u"%1x%2"_s.arg(request.base.width()).arg(request.base.height()),
            u"--crop"_s,        u"%1,%2"_s.arg(request.cropRight).arg(request.cropBottom),
            u"--capture-dir"_s, folderPath};
    const auto received = [&](int index, int, const BatchPageResult &result) {
        Picture picture;
        QString error = result.error;
        bool ok = result.ok;
        if (ok) {
            // Only a file of the run's own folder is read, and it goes at once.
            const QFileInfo file(result.output);
            ok = file.absolutePath() == folderPath &&
                 ReadCaptureFile(file.absoluteFilePath(), &picture, &error);
            if (file.absolutePath() == folderPath)
                QFile::remove(file.absoluteFilePath());
        }
        if (report && !(stopRequested && stopRequested()))
            report(index, ok, picture, error);
    };
    RunThumbWorkers(program, arguments, jobs, pages, received, stopRequested);
}

QString DisplayArgument(const DisplaySettings &display) {
    // The font name comes last: it is the one part that may hold a comma.
    return u"%1,%2,%3,%4,%5,%6"_s.arg(display.fontColor)
        .arg(display.fontSize)
        .arg(display.linkColor)
        .arg(display.backgroundColor)
        .arg(display.showImages ? 1 : 0)
        .arg(display.fontName);
}

std::optional<DisplaySettings> DisplayFromArgument(const QString &text) {
    constexpr int kNumbers = 5;
    const QStringList parts = text.split(u',');
    if (parts.size() <= kNumbers)
        return std::nullopt;
    std::array<int, kNumbers> numbers{};
    for (int i = 0; i < kNumbers; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[4] < 0 || numbers[4] > 1 || numbers[1] < 1 || numbers[1] > 1000)
        return std::nullopt;
    DisplaySettings display;
    display.fontColor = numbers[0];
    display.fontSize = numbers[1];
    display.linkColor = numbers[2];
    display.backgroundColor = numbers[3];
    display.showImages = numbers[4] == 1;
    display.fontName = parts.mid(kNumbers).join(u',');
    return display;
}

int ServeWorker(const WorkerTask &task, const std::function<bool()> &hasRoom) {
    // Ctrl+C reaches the whole process group: the main process decides.
    std::signal(SIGINT, SIG_IGN);
    std::string path;
    while (std::getline(std::cin, path, '\0')) {
        if (hasRoom && !hasRoom()) {
            std::puts("nospace");
            std::fflush(stdout);
            return 1;
        }
        const QString page = QFile::decodeName(QByteArray::fromStdString(path));
        QString answer;
        if (task(page, &answer))
            std::printf("ok%s%s\n", answer.isEmpty() ? "" : " ",
                        answer.toUtf8().toPercentEncoding().constData());
        else
            std::printf("failed %s\n", answer.toUtf8().toPercentEncoding().constData());
        std::fflush(stdout);
    }
    return 0;
}

int ServeThumbWorker(ThumbnailMaker &maker) {
    return ServeWorker(
        [&](const QString &page, QString *error) { return maker.MakeThumbnail(page, error); },
        [&] { return maker.HasRoomForThumbnail(); });
}

int ServeCaptureWorker(PageCapture &capture, const CaptureRequest &request, const QString &folder) {
    int made = 0;
    const QString prefix =
        QDir(folder).filePath(u"capture-%1-"_s.arg(QCoreApplication::applicationPid()));
    return ServeWorker(
        [&](const QString &page, QString *answer) {
            Picture picture;
            if (!capture.CapturePage(page, request, &picture, answer))
                return false;
            const QString file = prefix + QString::number(made++) + u".raw"_s;
            if (!WriteCaptureFile(file, picture, answer))
                return false;
            *answer = file;
            return true;
        },
        {});
}

namespace {

// A captured picture between processes: a header line with the size, then
// the rows of pixels as they are in memory, without their padding.
constexpr QByteArrayView kCaptureMagic = "VCAP1";

qint64 CaptureBytes(int width, int height) {
    return qint64(width) * height * 3;
}

} // namespace

bool WriteCaptureFile(const QString &path, const Picture &picture, QString *error) {
    QFile file(path);
    // The folder is the main process's own; nobody else reads the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Fail(error, u"The captured picture cannot be handed over: "_s + file.errorString());
    const Picture image = ToPicture(picture);
    bool written = file.write(QByteArray(kCaptureMagic.data(), kCaptureMagic.size()) + ' ' +
                              QByteArray::number(image.width()) + ' ' +
                              QByteArray::number(image.height()) + '\n') > 0;
    const qsizetype row = qsizetype(image.width()) * 3;
    for (int y = 0; written && y < image.height(); ++y)
        written = file.write(reinterpret_cast<const char *>(image.constScanLine(y)), row) == row;
    if (!written || !file.flush())
        return Fail(error, u"The captured picture cannot be handed over: "_s + file.errorString());
    return true;
}

bool ReadCaptureFile(const QString &path, Picture *picture, QString *error) {
    const QString lost = u"The captured picture came back damaged."_s;
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return Fail(error, lost);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, lost);
    const QList<QByteArray> header = file.readLine(64).trimmed().split(' ');
    bool wide = false, high = false;
    const int width = header.value(1).toInt(&wide);
    const int height = header.value(2).toInt(&high);
    constexpr int kMostSide = 32768;
    if (header.size() != 3 || header[0] != kCaptureMagic || !wide || !high || width < 1 ||
        height < 1 || width > kMostSide || height > kMostSide ||
        file.size() != file.pos() + CaptureBytes(width, height))
        return Fail(error, lost);
    Picture image(width, height, kPictureFormat);
    const qsizetype row = qsizetype(width) * 3;
    for (int y = 0; y < height; ++y)
        if (file.read(reinterpret_cast<char *>(image.scanLine(y)), row) != row)
            return Fail(error, lost);
    *picture = std::move(image);
    return true;
}

} // namespace velmora

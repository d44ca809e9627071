#include "thumbs/capture/thumb_workers.h"

#include "thumbs/capture/thumbnail_maker.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
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

enum class PageState { Waiting, Done, NotMade };

struct Worker {
    std::unique_ptr<QProcess> process;
    int page = -1; // the page in hand, if any
    QByteArray received;
};

// The state of one run: which page goes out next, what came back, and the
// reports made so far, in page order.
class WorkerRun {
public:
    WorkerRun(const QStringList &pages, const BatchReport &report, const BatchStart &starting)
        : pages_(pages), states_(pages.size(), PageState::Waiting), results_(pages.size()),
          report_(report), starting_(starting) {}

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
            result.ok = line == "ok";
            if (!result.ok)
                result.error = QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(7)));
            Record(worker.page, result);
        }
        worker.page = -1;
        ReportInOrder();
    }

    // The worker ended with a page in hand (its engine failed).
    void Lost(Worker &worker) {
        if (worker.page < 0)
            return;
        BatchPageResult result;
        result.page = pages_.at(worker.page);
        result.error = u"The rendering process ended unexpectedly."_s;
        Record(worker.page, result);
        worker.page = -1;
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
    void Record(int page, const BatchPageResult &result) {
        states_[page] = PageState::Done;
        results_[page] = result;
        ++summary_.done;
        summary_.failed += result.ok ? 0 : 1;
    }

    void ReportInOrder() {
        while (reported_ < pages_.size() && states_[reported_] == PageState::Done) {
            if (report_)
                report_(int(reported_), int(pages_.size()), results_[reported_]);
            ++reported_;
        }
    }

    const QStringList &pages_;
    std::vector<PageState> states_;
    std::vector<BatchPageResult> results_;
    const BatchReport &report_;
    const BatchStart &starting_;
    qsizetype next_ = 0;
    qsizetype reported_ = 0;
    bool stopping_ = false;
    bool outOfSpace_ = false;
    BatchSummary summary_;
};

} // namespace

int DefaultThumbJobs() {
    return qBound(1, QThread::idealThreadCount(), kMostDefaultJobs);
}

BatchSummary RunThumbWorkers(const QString &program, const QStringList &workerArguments, int jobs,
                             const QStringList &pages, const BatchReport &report,
                             const StopCheck &stopRequested, const BatchStart &starting) {
    WorkerRun run(pages, report, starting);
    QEventLoop loop;
    std::vector<std::unique_ptr<Worker>> workers;
    int running = 0;
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
                run.Feed(w);
            }
        });
        QObject::connect(process, &QProcess::finished, process, [&, process] {
            Worker &w = *std::find_if(workers.begin(), workers.end(), [&](const auto &x) {
                             return x->process.get() == process;
                         })->get();
            const bool hadPage = w.page >= 0;
            run.Lost(w);
            // A worker lost with its page is replaced while pages are left.
            if (hadPage && run.HasPagesLeft()) {
                w.process.release()->deleteLater();
                start(w);
                return;
            }
            if (--running == 0)
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
                run.Lost(w);
                if (--running == 0)
                    loop.quit();
            });
        ++running;
        process->start(program, workerArguments);
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
    return run.Finish();
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

int ServeThumbWorker(ThumbnailMaker &maker) {
    // Ctrl+C reaches the whole process group: the main process decides.
    std::signal(SIGINT, SIG_IGN);
    std::string path;
    while (std::getline(std::cin, path, '\0')) {
        if (!maker.HasRoomForThumbnail()) {
            std::puts("nospace");
            std::fflush(stdout);
            return 1;
        }
        const QString page = QFile::decodeName(QByteArray::fromStdString(path));
        QString error;
        if (maker.MakeThumbnail(page, &error))
            std::puts("ok");
        else
            std::printf("failed %s\n", error.toUtf8().toPercentEncoding().constData());
        std::fflush(stdout);
    }
    return 0;
}

} // namespace velmora

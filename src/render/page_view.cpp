#include "render/page_view.h"

#include "render/guarded_page.h"
#include "render/page_scripts.h"
#include "render/page_source.h"
#include "render/process_memory.h"
#include "render/render_profile.h"

#include <QChildEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtMath>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// How often the settle script may wait for a changing document before it
// reports the document painted anyway.
constexpr int kSettleRounds = 10;
// How often a capture looks again for a picture that still changes.
constexpr int kStableGrabTries = 6;
// How often the view's picture is looked at while a frame mark is awaited.
constexpr int kFrameMarkPollMs = 4;
// The frame mark's size in CSS pixels (see FrameMarkScript).
constexpr int kFrameMarkCssPixels = 4;
// How often the renderer's memory is read while a load is waited for. A
// script that fills memory as fast as it can adds about 1.2 GB a second, so
// a page is stopped within some 60 MB of the cap.
constexpr int kMemoryWatchMs = 50;
// Between loads nothing waits on the page, so its memory is read less often.
constexpr int kIdleMemoryWatchMs = 250;

const QString kHoverScriptName = u"velmora-link-hover"_s;
const QString kColoursScriptName = u"velmora-default-colours"_s;

// Addresses leave the view as file: URLs, whatever scheme serves them inside.
QUrl PublicUrl(const QUrl &url) {
    if (url.scheme() != LocalPageScheme())
        return url;
    QUrl file = QUrl::fromLocalFile(url.path(QUrl::FullyDecoded));
    file.setFragment(url.fragment(QUrl::FullyDecoded), QUrl::DecodedMode);
    return file;
}

QWebEngineScript IsolatedScript(const QString &name, const QString &source,
                                QWebEngineScript::InjectionPoint when) {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setInjectionPoint(when);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

} // namespace

struct PageView::Wait {
    QEventLoop loop;
    Expect expect = Expect::File;
    QString path;
    int token = 0;
    bool started = false;
    bool loaded = false;
    bool done = false;
    bool ok = false;
    bool discardPage = false; // it ran past the time limit or the memory cap
    bool unmarkable = false;  // the document cannot show a frame mark
    QString error;
};

PageView::PageView(RenderProfile &profile, const ViewOptions &options, QWidget *parent)
    : QWidget(parent), profile_(profile), options_(options),
      messageKey_(QUuid::createUuid().toString(QUuid::WithoutBraces) + u":"_s) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = std::make_unique<QWebEngineView>();
    layout->addWidget(view_.get());
    WatchChildren(view_.get());
    setFocusProxy(view_.get());
    // The program's own context menu replaces the engine's.
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_.get(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { emit ContextMenuRequested(view_->mapToGlobal(pos)); });
    CreatePage();
    // A page may start filling memory long after it loaded (a timer, a click).
    idleWatch_.setInterval(kIdleMemoryWatchMs);
    connect(&idleWatch_, &QTimer::timeout, this, [this] {
        if (wait_ || !OverMemoryCap())
            return;
        DiscardPage();
        emit PageStopped(MemoryCapMessage());
    });
    SetMemoryCap(options_.memoryCapMb);
    startLimit_.setSingleShot(true);
    connect(&startLimit_, &QTimer::timeout, this, [this] {
        if (wait_ || !busy_)
            return;
        DiscardPage();
        if (retryAtLimit_) {
            StartLoadingFile(requested_);
            return;
        }
        emit PageStopped(
            u"The page did not finish loading within %1 s."_s.arg(options_.timeLimitMs / 1000.0));
    });
}

void PageView::SetMemoryCap(int megabytes) {
    options_.memoryCapMb = megabytes;
    if (megabytes > 0)
        idleWatch_.start();
    else
        idleWatch_.stop();
}

PageView::~PageView() {
    if (wait_)
        Finish(false, u"The view was closed."_s);
    // The view lets go of its page before the page goes.
    view_.reset();
}

void PageView::CreatePage() {
    auto *page = new GuardedPage(profile_.Engine(), messageKey_, this);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        const auto status = info.status();
        // Any other navigation that starts (a link, the history, a waited
        // load) means the page asked for is no longer what the view loads.
        if (status == QWebEngineLoadingInfo::LoadStartedStatus &&
            PathFromPageUrl(info.url()) != loadingFile_)
            loadingFile_.clear();
        OnLoadingChanged(info.url(), status == QWebEngineLoadingInfo::LoadStartedStatus,
                         status == QWebEngineLoadingInfo::LoadSucceededStatus);
    });
    connect(page, &GuardedPage::ScriptMessage, this, &PageView::OnScriptMessage);
    connect(page, &QWebEnginePage::urlChanged, this, &PageView::OnUrlChanged);
    connect(page, &GuardedPage::NavigationRequested, this,
            [this](const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame,
                   bool *accept) { OnNavigationRequested(url, int(type), isMainFrame, accept); });
    connect(page, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &r) {
        OnNewWindowRequested(r.requestedUrl(), r.isUserInitiated());
    });
    // A screen reader hears the shown page's title with the view.
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString &title) {
        // A page without a title is given its address as one.
        setAccessibleDescription(title.contains(u"://"_s) ? QFileInfo(CurrentFile()).fileName()
                                                          : title);
    });
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        busy_ = true;
        emit BusyChanged(true);
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
        startLimit_.stop();
        busy_ = false;
        emit BusyChanged(false);
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        if (wait_)
            Finish(false, u"The page's renderer ended."_s);
    });
    GuardedPage *old = page_;
    page_ = page;
    SetDisplay(display_);
    page_->scripts().insert(IsolatedScript(kHoverScriptName, LinkHoverScript(messageKey_),
                                           QWebEngineScript::DocumentCreation));
    view_->setPage(page);
    delete old;
}

void PageView::SetDisplay(const DisplaySettings &display) {
    display_ = display;
    QWebEngineSettings *s = page_->settings();
    const int pixels = PixelsFromPoints(qBound(1, display.fontSize, 200));
    s->setFontFamily(QWebEngineSettings::StandardFont, display.fontName);
    s->setFontFamily(QWebEngineSettings::FixedFont, options_.fixedFontName);
    s->setFontSize(QWebEngineSettings::DefaultFontSize, pixels);
    s->setFontSize(QWebEngineSettings::DefaultFixedFontSize, pixels * 13 / 16);
    s->setAttribute(QWebEngineSettings::AutoLoadImages, display.showImages);
    const QColor background = ColorFromRef(display.backgroundColor);
    page_->setBackgroundColor(background.isValid() ? background : QColor(Qt::white));
    QWebEngineScriptCollection &scripts = page_->scripts();
    for (const QWebEngineScript &old : scripts.find(kColoursScriptName))
        scripts.remove(old);
    scripts.insert(IsolatedScript(kColoursScriptName, DefaultColoursScript(display),
                                  QWebEngineScript::DocumentReady));
}

bool PageView::LoadFile(const QString &path, QString *error, QDeadlineTimer deadline) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (error)
            *error = u"Can't locate file: "_s + path;
        return false;
    }
    const QString absolute = info.absoluteFilePath();
    return RunLoad(
        Expect::File, absolute, [&] { page_->load(PageUrlFromPath(absolute)); }, error, deadline);
}

bool PageView::LoadHtml(const QString &html, const QString &baseFolder, QString *error) {
    const QUrl base = baseFolder.isEmpty() ? QUrl(u"about:blank"_s)
                                           : PageUrlFromPath(QDir(baseFolder).filePath(u"_"_s));
    return RunLoad(
        Expect::Html, {}, [&] { page_->setHtml(html, base); }, error);
}

void PageView::Clear(QDeadlineTimer deadline) {
    const bool hadHistory = !history_.isEmpty();
    history_.clear();
    historyIndex_ = -1;
    RunLoad(
        Expect::Blank, {}, [this] { page_->load(QUrl(u"about:blank"_s)); }, nullptr, deadline);
    if (hadHistory)
        emit HistoryChanged();
}

void PageView::StartLoadingFile(const QString &path) {
    if (wait_)
        Finish(false, u"Another page was loaded meanwhile."_s);
    // A page asked for while the one before still loads waits behind that
    // page's script, which may never end: at the time limit the page asked
    // for is loaded once more, on a fresh page.
    retryAtLimit_ = busy_;
    requested_ = path;
    const QFileInfo info(path);
    loadingFile_ = info.isFile() ? info.absoluteFilePath() : QString();
    page_->load(info.isFile() ? PageUrlFromPath(info.absoluteFilePath()) : QUrl(u"about:blank"_s));
    // Busy from now on, not only once the engine reports the start.
    if (!busy_) {
        busy_ = true;
        emit BusyChanged(true);
    }
    startLimit_.start(options_.timeLimitMs);
}

bool PageView::FinishLoading(const QString &path, QString *error) {
    if (!busy_)
        return true;
    const QString wanted = QFileInfo(path).absoluteFilePath();
    if (path.isEmpty() || LoadingFile() != wanted)
        return false;
    // The end of a page that was still loading when this one was asked for
    // may come first; the wait goes on for this one, within one time limit.
    const QDeadlineTimer deadline(options_.timeLimitMs);
    while (LoadingFile() == wanted && !deadline.hasExpired())
        WaitUntilPainted(deadline, error);
    return !busy_;
}

void PageView::ClearHistory() {
    if (history_.isEmpty())
        return;
    history_.clear();
    historyIndex_ = -1;
    emit HistoryChanged();
}

void PageView::StopLoading() {
    if (wait_) {
        wait_->discardPage = true;
        Finish(false, u"The page was stopped."_s);
    } else if (busy_) {
        DiscardPage();
    }
}

bool PageView::Rerender(QString *error) {
    if (page_->url().isEmpty())
        return true;
    return RunLoad(
        Expect::Current, {}, [this] { page_->triggerAction(QWebEnginePage::Reload); }, error);
}

bool PageView::WaitUntilPainted(QDeadlineTimer deadline, QString *error) {
    // While a navigation is under way its end is awaited; otherwise the
    // document is there and only its painting is.
    return RunLoad(
        Expect::Current, {},
        [this] {
            if (!busy_)
                OnLoadingChanged({}, false, true);
        },
        error, deadline);
}

bool PageView::WaitForFrame(QDeadlineTimer deadline, QString *error) {
    if (busy_)
        return WaitUntilPainted(deadline, error);
    return RunLoad(
        Expect::Frame, {}, [this] { OnLoadingChanged({}, false, true); }, error, deadline);
}

QString PageView::CurrentFile() const {
    return PathFromPageUrl(page_->url());
}

bool PageView::RunLoad(Expect expect, const QString &expectedPath,
                       const std::function<void()> &start, QString *error, QDeadlineTimer deadline,
                       bool *unmarkable) {
    if (wait_)
        Finish(false, u"Another page was loaded meanwhile."_s);
    Wait wait;
    wait.expect = expect;
    wait.path = expectedPath;
    wait.token = ++generation_;
    if (options_.devicePixelPerCssPixel)
        page_->setZoomFactor(1.0 / DevicePixelRatio());
    // Waiting for paint only: the document is already there.
    wait.started = expect == Expect::Current || expect == Expect::Frame || expect == Expect::Mark;
    // A frame mark is awaited on a loaded document.
    wait.loaded = expect == Expect::Mark;
    wait_ = &wait;
    const QPointer<PageView> self(this);

    // A precise timer: a coarse one may fire 5 % late, and one of 20 s or
    // more only to the second.
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    connect(&limit, &QTimer::timeout, this, [this, &wait] {
        if (wait_ != &wait)
            return;
        wait.discardPage = true;
        // Loaded: the document is there, its picture did not come.
        Finish(false, u"The page did not finish %1 within %2 s."_s
                          .arg(wait.loaded ? u"painting"_s : u"loading"_s)
                          .arg(options_.timeLimitMs / 1000.0));
    });
    // A wait that is part of a longer one (a capture's) ends with it.
    const qint64 limitMs = deadline.isForever() ? options_.timeLimitMs
                                                : qBound(qint64(0), deadline.remainingTime(),
                                                         qint64(options_.timeLimitMs));
    limit.start(int(limitMs));
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [this, &wait] {
        if (wait_ != &wait || !OverMemoryCap())
            return;
        wait.discardPage = true;
        Finish(false, MemoryCapMessage());
    });
    if (options_.memoryCapMb > 0)
        watch.start(kMemoryWatchMs);
    start();
    if (!wait.done)
        wait.loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self) { // the view was destroyed while it waited
        if (error)
            *error = wait.error;
        return false;
    }
    if (wait_ == &wait)
        wait_ = nullptr;
    // A page that filled its memory faster than the watch looks still fails
    // when it holds too much at the end.
    if (wait.ok && OverMemoryCap()) {
        wait.ok = false;
        wait.discardPage = true;
        wait.error = MemoryCapMessage();
    }
    if (wait.discardPage)
        DiscardPage();
    if (error)
        *error = wait.error;
    if (unmarkable)
        *unmarkable = wait.unmarkable;
    return wait.ok;
}

void PageView::Finish(bool ok, const QString &error) {
    Wait *wait = wait_;
    if (!wait)
        return;
    wait_ = nullptr;
    wait->done = true;
    wait->ok = ok;
    wait->error = error;
    wait->loop.quit();
}

// The cap is on the renderer process as a whole, the one process the engine
// runs the page's main document in: its resident memory, which includes some
// 80 MB of the engine's own, and all it holds for every page it serves. That
// is usually this view's page alone, as the engine gives each view's page a
// process of its own (it shares one only past some dozens of pages); when
// pages do share one, the view that sees their sum pass the cap stops its own
// page, and only that.
bool PageView::OverMemoryCap() const {
    if (options_.memoryCapMb <= 0)
        return false;
    return ResidentBytes(RendererProcessId()) > qint64(options_.memoryCapMb) * 1024 * 1024;
}

qint64 PageView::RendererProcessId() const {
    return page_->renderProcessPid();
}

QString PageView::MemoryCapMessage() const {
    return u"The page used more than %1 MB of memory and was stopped."_s.arg(options_.memoryCapMb);
}

// A page that runs past the time limit may hold its renderer forever (a
// script that never returns), and one past the memory cap would go on
// taking memory. The page is thrown away with its renderer and a fresh one
// takes its place, so the next load starts clean.
void PageView::DiscardPage() {
    ++recoveries_;
    documentQuiet_ = false;
    page_->triggerAction(QWebEnginePage::Stop);
    CreatePage();
    if (busy_) {
        busy_ = false;
        emit BusyChanged(false);
    }
}

void PageView::OnLoadingChanged(const QUrl &url, bool started, bool succeeded) {
    Wait *wait = wait_;
    if (!wait || wait->loaded)
        return;
    if (started) {
        if (wait->expect != Expect::File || PathFromPageUrl(url) == wait->path)
            wait->started = true;
        return;
    }
    if (!wait->started)
        return; // the end of an earlier navigation
    if (!succeeded) {
        Finish(false, u"The page could not be loaded."_s);
        return;
    }
    wait->loaded = true;
    // A view that is not on the screen paints nothing (the internal browser
    // while the editor is docked): its page is there once it has loaded.
    if (!isVisible()) {
        Finish(true, {});
        return;
    }
    // A load waits for two frames after the document stopped changing; a
    // capture that only looks for one more frame waits for one.
    const int frames = wait->expect == Expect::Frame ? 1 : 2;
    documentQuiet_ = false;
    page_->runJavaScript(SettleScript(messageKey_, wait->token, kSettleRounds, frames),
                         QWebEngineScript::ApplicationWorld);
}

void PageView::OnScriptMessage(const QString &message) {
    if (message.startsWith(u"painted "_s)) {
        const QStringList words = message.mid(8).split(u' ');
        if (wait_ && wait_->loaded && words.value(0).toInt() == wait_->token) {
            documentQuiet_ = words.value(1) != u"still"_s;
            Finish(true, {});
        }
        return;
    }
    if (message.startsWith(u"unmarkable "_s)) {
        if (wait_ && wait_->expect == Expect::Mark && message.mid(11).toInt() == wait_->token) {
            wait_->unmarkable = true;
            Finish(true, {});
        }
        return;
    }
    if (message.startsWith(u"hover "_s)) {
        const QJsonObject info = QJsonDocument::fromJson(message.mid(6).toUtf8()).object();
        LinkInfo link;
        link.url = PublicUrl(QUrl(info.value(u"url"_s).toString())).toString();
        link.target = info.value(u"target"_s).toString();
        link.framePath = PathFromPageUrl(QUrl(info.value(u"frame"_s).toString()));
        hovered_ = link;
        emit LinkHovered(link.url, link.target);
    }
}

void PageView::OnUrlChanged(const QUrl &url) {
    if (options_.historyLength <= 0 || historyMove_)
        return;
    if (url.scheme() != LocalPageScheme())
        return;
    if (historyIndex_ >= 0 && history_.at(historyIndex_) == url)
        return;
    history_.erase(history_.begin() + (historyIndex_ + 1), history_.end());
    history_.append(url);
    while (history_.size() > options_.historyLength)
        history_.removeFirst();
    historyIndex_ = int(history_.size()) - 1;
    emit HistoryChanged();
}

void PageView::OnNavigationRequested(const QUrl &url, int type, bool isMainFrame, bool *accept) {
    if (type == QWebEnginePage::NavigationTypeLinkClicked) {
        LinkInfo link;
        link.url = PublicUrl(url).toString();
        if (hovered_.url == link.url) {
            link.target = hovered_.target;
            link.framePath = hovered_.framePath;
        } else {
            link.framePath = CurrentFile();
        }
        bool cancel = false;
        emit LinkClicked(link, &cancel);
        if (cancel) {
            *accept = false;
            return;
        }
    }
    // A page the view goes on to by itself (a link, a script) is not the one
    // it was asked for, even while that one is still loading.
    if (isMainFrame && PathFromPageUrl(url) != loadingFile_)
        loadingFile_.clear();
    // A page addressed as file: would get the system's content type; it is
    // loaded through the page scheme instead, as a page.
    if (isMainFrame && url.isLocalFile()) {
        *accept = false;
        QUrl local = PageUrlFromPath(url.toLocalFile());
        local.setFragment(url.fragment());
        QTimer::singleShot(0, this, [this, local] { page_->load(local); });
    }
}

// A link whose target is a new window or an unknown frame is followed in this
// view, as a link click; windows opened by scripts (pop-ups) are refused.
void PageView::OnNewWindowRequested(const QUrl &url, bool userInitiated) {
    if (!userInitiated || !IsAllowedScheme(url.scheme()))
        return;
    bool accept = true;
    OnNavigationRequested(url, QWebEnginePage::NavigationTypeLinkClicked, false, &accept);
    if (!accept)
        return;
    const QString path = PathFromPageUrl(url);
    QUrl local = path.isEmpty() ? url : PageUrlFromPath(path);
    local.setFragment(url.fragment());
    QTimer::singleShot(0, this, [this, local] { page_->load(local); });
}

bool PageView::CanGoBack() const {
    return historyIndex_ > 0;
}

bool PageView::CanGoForward() const {
    return historyIndex_ >= 0 && historyIndex_ + 1 < history_.size();
}

bool PageView::GoBack() {
    return CanGoBack() && GoTo(historyIndex_ - 1);
}

bool PageView::GoForward() {
    return CanGoForward() && GoTo(historyIndex_ + 1);
}

bool PageView::GoTo(int historyIndex) {
    const QUrl url = history_.at(historyIndex);
    historyMove_ = true;
    const bool ok = RunLoad(
        Expect::File, PathFromPageUrl(url), [&] { page_->load(url); }, nullptr);
    historyMove_ = false;
    historyIndex_ = historyIndex;
    emit HistoryChanged();
    return ok;
}

void PageView::SelectAll() {
    page_->triggerAction(QWebEnginePage::SelectAll);
}

void PageView::CopySelection() {
    page_->triggerAction(QWebEnginePage::Copy);
}

QString PageView::SelectedText() const {
    return page_->selectedText();
}

qreal PageView::DevicePixelRatio() const {
    return view_->devicePixelRatioF();
}

QImage PageView::Grab(QSize pixels) {
    const QSize target = pixels.isValid() ? pixels : view_->size();
    QImage image = view_->grab().toImage();
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1.0);
    return image.convertToFormat(QImage::Format_RGB32);
}

// A colour of its own for every mark, so that no earlier picture (of this
// page or the one before) can show it.
QColor PageView::NextFrameMarkColour() {
    quint32 h = quint32(++frameMarks_) * 2654435761u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return QColor::fromRgb(h & 0xFFFFFF);
}

// The top left device pixel of the view's picture as it would be grabbed now.
QColor PageView::CornerColour() const {
    const QImage corner = view_->grab(QRect(0, 0, 1, 1)).toImage();
    return corner.isNull() ? QColor() : corner.pixelColor(0, 0);
}

// Shows the mark (a valid colour) or removes it (an invalid one) and waits
// until the view's picture shows that: the mark's colour in the corner, or
// any other colour there once it is gone.
bool PageView::WaitForFrameMark(const QColor &shown, const QColor &removed, QDeadlineTimer deadline,
                                QString *error, bool *markable) {
    const qreal zoom = page_->zoomFactor();
    const QSize viewport(qRound(view_->width() / zoom), qRound(view_->height() / zoom));
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    connect(&poll, &QTimer::timeout, this, [this, shown, removed] {
        if (!wait_ || wait_->expect != Expect::Mark)
            return;
        const QColor corner = CornerColour();
        if (shown.isValid() ? corner == shown : corner.isValid() && corner != removed)
            Finish(true, {});
    });
    bool unmarkable = false;
    const bool ok = RunLoad(
        Expect::Mark, {},
        [&] {
            page_->runJavaScript(FrameMarkScript(messageKey_, wait_->token, shown, viewport),
                                 QWebEngineScript::ApplicationWorld);
            poll.start(kFrameMarkPollMs);
        },
        error, deadline, &unmarkable);
    *markable = !unmarkable;
    return ok;
}

// The renderer has painted when a load ends, but its picture reaches this
// process later, and under load much later: until then the view shows an
// older picture (a blank one, one of the page before, or one of another
// size). A picture is taken only once the view shows the frame mark the page
// was given after it had painted, and then shows it gone again; so it is of a
// frame the renderer made after that, at the view's size. This repeats until
// the document has stopped changing and the pictures with and without the
// mark agree outside it.
QImage PageView::GrabSettled(QSize pixels, QDeadlineTimer deadline, QString *error) {
    if (busy_ && !WaitUntilPainted(deadline, error))
        return {};
    // A view that is not on the screen paints nothing new.
    if (!isVisible())
        return GrabSettledByFrames(pixels, deadline, error);
    const QSize target = pixels.isValid() ? pixels : view_->size();
    const qreal markScale = page_->zoomFactor() * target.width() / qMax(1, view_->width());
    const int markSide = qCeil(kFrameMarkCssPixels * markScale) + 1;
    QImage plain;
    for (int n = 0; n < kStableGrabTries; ++n) {
        // A document that still changed when it was last looked at, or whose
        // picture still changes, is given time to settle.
        if ((n > 0 || !documentQuiet_) && !WaitForFrame(deadline, error))
            return {};
        const QColor colour = NextFrameMarkColour();
        bool markable = true;
        if (!WaitForFrameMark(colour, {}, deadline, error, &markable))
            return {};
        if (!markable)
            return GrabSettledByFrames(pixels, deadline, error);
        QImage marked = Grab(pixels);
        if (!WaitForFrameMark({}, colour, deadline, error, &markable))
            return {};
        plain = Grab(pixels);
        // The mark's corner is left out of the comparison.
        QImage unmarked = plain;
        QPainter(&marked).fillRect(0, 0, markSide, markSide, Qt::black);
        QPainter(&unmarked).fillRect(0, 0, markSide, markSide, Qt::black);
        if (documentQuiet_ && marked == unmarked)
            break;
    }
    return plain;
}

// For documents that cannot show the mark: further frames are awaited until
// two pictures in a row agree.
QImage PageView::GrabSettledByFrames(QSize pixels, QDeadlineTimer deadline, QString *error) {
    QImage previous = Grab(pixels);
    for (int n = 0; n < kStableGrabTries; ++n) {
        if (!WaitForFrame(deadline, error))
            return {};
        QImage next = Grab(pixels);
        if (next == previous)
            break;
        previous = std::move(next);
    }
    return previous;
}

void PageView::WatchChildren(QObject *object) {
    object->installEventFilter(this);
    for (QObject *child : object->children())
        if (child->isWidgetType())
            WatchChildren(child);
}

bool PageView::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            WatchChildren(child);
    } else if (event->type() == QEvent::KeyPress) {
        bool handled = false;
        emit KeyPressed(static_cast<QKeyEvent *>(event), &handled);
        if (handled)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora

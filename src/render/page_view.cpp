#include "render/page_view.h"

#include "render/guarded_page.h"
#include "render/page_scripts.h"
#include "render/page_source.h"
#include "render/render_profile.h"

#include <QChildEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
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

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// How often the settle script may wait for a changing document before it
// reports the document painted anyway.
constexpr int kSettleRounds = 10;
// How often a capture looks again for a picture that still changes.
constexpr int kStableGrabTries = 6;

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
    bool timedOut = false;
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
    CreatePage();
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
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        busy_ = true;
        emit BusyChanged(true);
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
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

bool PageView::LoadFile(const QString &path, QString *error) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (error)
            *error = u"Can't locate file: "_s + path;
        return false;
    }
    const QString absolute = info.absoluteFilePath();
    return RunLoad(
        Expect::File, absolute, [&] { page_->load(PageUrlFromPath(absolute)); }, error);
}

bool PageView::LoadHtml(const QString &html, const QString &baseFolder, QString *error) {
    const QUrl base = baseFolder.isEmpty() ? QUrl(u"about:blank"_s)
                                           : PageUrlFromPath(QDir(baseFolder).filePath(u"_"_s));
    return RunLoad(
        Expect::Html, {}, [&] { page_->setHtml(html, base); }, error);
}

void PageView::Clear() {
    const bool hadHistory = !history_.isEmpty();
    history_.clear();
    historyIndex_ = -1;
    RunLoad(
        Expect::Blank, {}, [this] { page_->load(QUrl(u"about:blank"_s)); }, nullptr);
    if (hadHistory)
        emit HistoryChanged();
}

bool PageView::Rerender(QString *error) {
    if (page_->url().isEmpty())
        return true;
    return RunLoad(
        Expect::Current, {}, [this] { page_->triggerAction(QWebEnginePage::Reload); }, error);
}

bool PageView::WaitUntilPainted() {
    // While a navigation is under way its end is awaited; otherwise the
    // document is there and only its painting is.
    return RunLoad(
        Expect::Current, {},
        [this] {
            if (!busy_)
                OnLoadingChanged({}, false, true);
        },
        nullptr);
}

bool PageView::WaitForFrame() {
    if (busy_)
        return WaitUntilPainted();
    return RunLoad(
        Expect::Frame, {}, [this] { OnLoadingChanged({}, false, true); }, nullptr);
}

QString PageView::CurrentFile() const {
    return PathFromPageUrl(page_->url());
}

bool PageView::RunLoad(Expect expect, const QString &expectedPath,
                       const std::function<void()> &start, QString *error) {
    if (wait_)
        Finish(false, u"Another page was loaded meanwhile."_s);
    Wait wait;
    wait.expect = expect;
    wait.path = expectedPath;
    wait.token = ++generation_;
    if (options_.devicePixelPerCssPixel)
        page_->setZoomFactor(1.0 / DevicePixelRatio());
    // Waiting for paint only: the document is already there.
    wait.started = expect == Expect::Current || expect == Expect::Frame;
    wait_ = &wait;
    const QPointer<PageView> self(this);

    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, this, [this, &wait] {
        if (wait_ != &wait)
            return;
        wait.timedOut = true;
        Finish(false, u"The page did not finish loading within %1 s."_s.arg(options_.timeLimitMs /
                                                                            1000.0));
    });
    limit.start(options_.timeLimitMs);
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
    if (wait.timedOut)
        RecoverFromHang();
    if (error)
        *error = wait.error;
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

// A page that runs past the time limit may hold its renderer forever (a
// script that never returns). The page is thrown away with its renderer and
// a fresh one takes its place, so the next load starts clean.
void PageView::RecoverFromHang() {
    ++recoveries_;
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
    // A load waits for two frames after the document stopped changing; a
    // capture that only looks for one more frame waits for one.
    const int frames = wait->expect == Expect::Frame ? 1 : 2;
    page_->runJavaScript(SettleScript(messageKey_, wait->token, kSettleRounds, frames),
                         QWebEngineScript::ApplicationWorld);
}

void PageView::OnScriptMessage(const QString &message) {
    if (message.startsWith(u"painted "_s)) {
        if (wait_ && wait_->loaded && message.mid(8).toInt() == wait_->token)
            Finish(true, {});
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

// The renderer has painted when a load ends, but its picture reaches this
// process a little later. A capture therefore waits for further frames until
// two pictures in a row agree.
QImage PageView::GrabSettled(QSize pixels) {
    QImage previous = Grab(pixels);
    for (int n = 0; n < kStableGrabTries; ++n) {
        if (!WaitForFrame())
            break;
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

#pragma once
// The program's page view: the internal browser, the capture window, the help
// window and the sample of the browser settings are all made of it. It wraps
// the rendering engine so that nothing else includes it.
//
// Loading is synchronous: LoadFile returns when the page is loaded, laid out
// and painted with its pictures, or when the time limit has passed or the
// page's renderer holds more memory than the cap (then the load counts as
// failed and the view is ready for the next page, even when the page's
// script never returns).

#include "render/display_settings.h"

#include <QDeadlineTimer>
#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QWebEngineView;

namespace velmora {

class GuardedPage;
class RenderProfile;

// Fixed when the view is made.
struct ViewOptions {
    int historyLength = 0; // 0: no history
    QString fixedFontName = QStringLiteral("Courier New");
    int timeLimitMs = 10000; // of every load
    // The most memory, in MB, the page's renderer process may hold; 0: no
    // cap. A page that passes it is stopped as one that runs past the time
    // limit is: during a load or a paint that wait fails, at other times the
    // view reports PageStopped.
    int memoryCapMb = 1536;
    // Captures: the page is zoomed by 1 / the screen's scale, so that on any
    // screen one CSS pixel is painted as one device pixel; the view's size in
    // CSS pixels is then its size in device pixels.
    bool devicePixelPerCssPixel = false;
};

// A link as the pointer or a click found it: its address, its target frame
// name, and the file shown in the frame that holds it.
struct LinkInfo {
    QString url;
    QString target;
    QString framePath;
};

class PageView : public QWidget {
    Q_OBJECT
public:
    PageView(RenderProfile &profile, const ViewOptions &options, QWidget *parent = nullptr);
    ~PageView() override;

    // Loads a local page (frames, pictures and style sheets resolved against
    // its folder). False with *error set when the file is missing ("Can't
    // locate file: " + path), cannot be loaded, or the time limit passed; a
    // load that is part of a longer wait (a capture's) also ends with its
    // deadline.
    bool LoadFile(const QString &path, QString *error = nullptr,
                  QDeadlineTimer deadline = QDeadlineTimer::Forever);
    // The interactive browser's load: returns at once, and the page shows
    // when it comes; BusyChanged tells when that is. A page still loading
    // after the time limit is stopped (PageStopped). An empty or missing
    // path shows an empty page.
    void StartLoadingFile(const QString &path);
    // The page StartLoadingFile was last asked for, while the view is still
    // busy loading it; empty when the view is idle or busy with another
    // navigation (a link followed, a page of the history, a waited load).
    QString LoadingFile() const { return busy_ ? loadingFile_ : QString(); }
    // Waits, as WaitUntilPainted does, until the load StartLoadingFile began
    // for path has ended and the page is painted, or the time limit passed
    // (then the page is stopped). Returns at once when the view is idle or
    // busy with anything else. True when the view is idle afterwards.
    bool FinishLoading(const QString &path, QString *error = nullptr);
    // Shows HTML given as text; relative references resolve against baseFolder.
    bool LoadHtml(const QString &html, const QString &baseFolder = {}, QString *error = nullptr);
    // Drops the document and the history (within the time limit and the
    // deadline).
    void Clear(QDeadlineTimer deadline = QDeadlineTimer::Forever);
    // Drops the history only; the next load starts a new one.
    void ClearHistory();
    // Ends the load under way, if any: it fails as one past the time limit.
    void StopLoading();
    // Lays the current document out again with the current settings.
    bool Rerender(QString *error = nullptr);
    // Waits until the view has painted its current document at its current
    // size (after a resize or a move to another parent), for at most the time
    // limit and never past the deadline.
    bool WaitUntilPainted(QDeadlineTimer deadline = QDeadlineTimer::Forever,
                          QString *error = nullptr);
    // The file shown in the view (its main document); empty for none.
    QString CurrentFile() const;

    DisplaySettings Display() const { return display_; }
    // Takes effect for the next load; Rerender shows it at once.
    void SetDisplay(const DisplaySettings &display);
    void SetTimeLimit(int milliseconds) { options_.timeLimitMs = milliseconds; }
    int TimeLimit() const { return options_.timeLimitMs; }
    void SetMemoryCap(int megabytes);
    int MemoryCap() const { return options_.memoryCapMb; }

    bool CanGoBack() const;
    bool CanGoForward() const;
    bool GoBack();
    bool GoForward();
    int HistoryCount() const { return int(history_.size()); }

    void SelectAll();
    void CopySelection();
    QString SelectedText() const;

    // The visible part of the view as a picture of the given size (default:
    // the view's size); a picture painted at another size (a scaled screen)
    // is scaled to it.
    QImage Grab(QSize pixels = {});
    // The same once the picture has stopped changing (for captures), taken
    // only from frames the renderer painted after this call at the view's
    // size, never an older picture still on show. Each wait for a further
    // picture is a wait as WaitUntilPainted's; when one fails (the page ran
    // past the time limit, the deadline or the memory cap, or its renderer
    // ended) the result is a null picture with *error set.
    QImage GrabSettled(QSize pixels = {}, QDeadlineTimer deadline = QDeadlineTimer::Forever,
                       QString *error = nullptr);
    // Device pixels per logical pixel of the screen the view is on.
    qreal DevicePixelRatio() const;
    bool IsBusy() const { return busy_; }
    // The process the engine renders the current document in; 0 while there
    // is none (tests, tools).
    qint64 RendererProcessId() const;
    // How many times a page was thrown away because it ran past the time
    // limit or the memory cap (tests, tools).
    int Recoveries() const { return recoveries_; }

signals:
    void HistoryChanged();
    // Both empty when the pointer left a link.
    void LinkHovered(const QString &url, const QString &target);
    // The user clicked a link; set *cancel to keep the view where it is.
    void LinkClicked(const velmora::LinkInfo &link, bool *cancel);
    void BusyChanged(bool busy);
    // A key press inside the view; set *handled to keep it from the page.
    void KeyPressed(QKeyEvent *event, bool *handled);
    // The user asked for a context menu at this screen position.
    void ContextMenuRequested(const QPoint &globalPos);
    // The page shown was thrown away between loads (it passed the memory
    // cap); the view is blank and ready for the next page.
    void PageStopped(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Wait;
    enum class Expect { File, Html, Blank, Current, Frame, Mark };

    void CreatePage();
    void InstallScripts();
    bool RunLoad(Expect expect, const QString &expectedPath, const std::function<void()> &start,
                 QString *error, QDeadlineTimer deadline = QDeadlineTimer::Forever,
                 bool *unmarkable = nullptr);
    void Finish(bool ok, const QString &error);
    bool OverMemoryCap() const;
    QString MemoryCapMessage() const;
    void DiscardPage();
    bool WaitForFrame(QDeadlineTimer deadline, QString *error);
    QColor NextFrameMarkColour();
    QColor CornerColour() const;
    bool WaitForFrameMark(const QColor &shown, const QColor &removed, QDeadlineTimer deadline,
                          QString *error, bool *markable);
    QImage GrabSettledByFrames(QSize pixels, QDeadlineTimer deadline, QString *error);
    void OnLoadingChanged(const QUrl &url, bool started, bool succeeded);
    void OnScriptMessage(const QString &message);
    void OnUrlChanged(const QUrl &url);
    void OnNavigationRequested(const QUrl &url, int type, bool isMainFrame, bool *accept);
    void OnNewWindowRequested(const QUrl &url, bool userInitiated);
    bool GoTo(int historyIndex);
    void WatchChildren(QObject *object);

    RenderProfile &profile_;
    ViewOptions options_;
    DisplaySettings display_;
    QString messageKey_;
    std::unique_ptr<QWebEngineView> view_;
    GuardedPage *page_ = nullptr; // owned by this widget
    Wait *wait_ = nullptr;        // the synchronous load in hand, if any
    int generation_ = 0;
    QList<QUrl> history_;
    int historyIndex_ = -1;
    bool historyMove_ = false;
    LinkInfo hovered_;
    bool busy_ = false;
    int recoveries_ = 0;
    int frameMarks_ = 0;
    bool documentQuiet_ = false; // the last settle wait saw no more changes
    QTimer idleWatch_;           // the memory cap while no load is waited for
    QTimer startLimit_;          // the time limit of a load that is not waited for
    QString requested_;          // the page of the last load not waited for
    QString loadingFile_;        // its absolute path, until another navigation starts
    bool retryAtLimit_ = false;  // asked for while another page still loaded
};

} // namespace velmora

#pragma once
// The program's page view: the internal browser, the capture window, the help
// window and the sample of the browser settings are all made of it. It wraps
// the rendering engine so that nothing else includes it.
//
// Loading is synchronous: LoadFile returns when the page is loaded, laid out
// and painted with its pictures, or when the time limit has passed (then the
// load counts as failed and the view is ready for the next page, even when
// the page's script never returns).

#include "render/display_settings.h"

#include <QList>
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
    // locate file: " + path), cannot be loaded, or the time limit passed.
    bool LoadFile(const QString &path, QString *error = nullptr);
    // Shows HTML given as text; relative references resolve against baseFolder.
    bool LoadHtml(const QString &html, const QString &baseFolder = {}, QString *error = nullptr);
    // Drops the document and the history.
    void Clear();
    // Lays the current document out again with the current settings.
    bool Rerender(QString *error = nullptr);
    // Waits until the view has painted its current document at its current
    // size (after a resize or a move to another parent).
    bool WaitUntilPainted();
    // The file shown in the view (its main document); empty for none.
    QString CurrentFile() const;

    DisplaySettings Display() const { return display_; }
    // Takes effect for the next load; Rerender shows it at once.
    void SetDisplay(const DisplaySettings &display);
    void SetTimeLimit(int milliseconds) { options_.timeLimitMs = milliseconds; }
    int TimeLimit() const { return options_.timeLimitMs; }

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
    // The same once the picture has stopped changing (for captures).
    QImage GrabSettled(QSize pixels = {});
    // Device pixels per logical pixel of the screen the view is on.
    qreal DevicePixelRatio() const;
    bool IsBusy() const { return busy_; }
    // How many times a hung or timed-out page was thrown away (tests, tools).
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Wait;
    enum class Expect { File, Html, Blank, Current, Frame };

    void CreatePage();
    void InstallScripts();
    bool RunLoad(Expect expect, const QString &expectedPath, const std::function<void()> &start,
                 QString *error);
    void Finish(bool ok, const QString &error);
    void RecoverFromHang();
    bool WaitForFrame();
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
};

} // namespace velmora

#pragma once
// An engine page that treats its content as untrusted: no pop-up windows, no
// JavaScript dialogs, no permissions, no navigation outside local content.
// It also carries the messages of the program's own page scripts, which run
// in a world the page cannot see and report through the console with a
// per-process key the page cannot know.

#include <QWebEnginePage>

namespace velmora {

class GuardedPage : public QWebEnginePage {
    Q_OBJECT
public:
    GuardedPage(QWebEngineProfile *profile, const QString &messageKey, QObject *parent);

signals:
    // A message of the program's own scripts (the key removed).
    void ScriptMessage(const QString &message);
    // A navigation of the given kind wants to start; set *accept to false to
    // refuse it. Only local content ever gets this far.
    void NavigationRequested(const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame,
                             bool *accept);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    QString messageKey_;
};

} // namespace velmora

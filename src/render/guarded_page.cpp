#include "render/guarded_page.h"

#include "render/page_source.h"

#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

namespace velmora {

GuardedPage::GuardedPage(QWebEngineProfile *profile, const QString &messageKey, QObject *parent)
    : QWebEnginePage(profile, parent), messageKey_(messageKey) {
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    // No window is ever opened: newWindowRequested goes to the view, which
    // follows a clicked link to a new window in place and drops pop-ups.
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::quotaRequested, this,
            [](QWebEngineQuotaRequest request) { request.reject(); });
}

bool GuardedPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) {
    if (!IsAllowedScheme(url.scheme()))
        return false;
    bool accept = true;
    emit NavigationRequested(url, type, isMainFrame, &accept);
    return accept;
}

void GuardedPage::javaScriptAlert(const QUrl &, const QString &) {}

bool GuardedPage::javaScriptConfirm(const QUrl &, const QString &) {
    return false;
}

bool GuardedPage::javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) {
    return false;
}

void GuardedPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message,
                                           int, const QString &) {
    if (message.startsWith(messageKey_))
        emit ScriptMessage(message.mid(messageKey_.size()));
}

} // namespace velmora

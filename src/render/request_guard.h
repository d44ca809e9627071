#pragma once
// Engine-side handlers of the shared profile: the request filter that keeps
// pages off the network, and the server of the local page scheme.

#include <QStringList>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlSchemeHandler>

#include <atomic>
#include <mutex>

namespace velmora {

// Refuses every request whose scheme is not local content. Runs on the
// engine's IO thread, hence the lock.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    int Blocked() const { return blocked_; }
    QStringList BlockedUrls() const;

private:
    static constexpr int kKeptUrls = 100;
    std::atomic<int> blocked_ = 0;
    mutable std::mutex lock_;
    QStringList blockedUrls_;
};

// Serves local files for the page scheme: pages as HTML whatever their
// extension, other files with their own content type.
class LocalPageSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob *job) override;
};

} // namespace velmora

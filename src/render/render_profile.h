#pragma once
// The engine profile every page view of the program shares. Pages are
// untrusted: only local content loads, downloads are refused, and nothing is
// kept on disk (no cache, cookies or storage survive the process).

#include <QObject>
#include <QStringList>

#include <memory>

class QWebEngineProfile;

namespace velmora {

class LocalPageSchemeHandler;
class RequestGuard;

class RenderProfile : public QObject {
    Q_OBJECT
public:
    explicit RenderProfile(QObject *parent = nullptr);
    ~RenderProfile() override;

    QWebEngineProfile *Engine() const { return profile_.get(); }

    // Requests refused because they would have left the machine (or used an
    // unknown scheme), and downloads refused, since the profile was made.
    int BlockedRequests() const;
    QStringList BlockedUrls() const;
    int RefusedDownloads() const { return refusedDownloads_; }

private:
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<RequestGuard> guard_;
    std::unique_ptr<LocalPageSchemeHandler> pages_;
    int refusedDownloads_ = 0;
};

} // namespace velmora

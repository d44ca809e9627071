#include "render/render_profile.h"

#include "render/page_source.h"
#include "render/render_environment.h"
#include "render/request_guard.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

using namespace Qt::StringLiterals;

namespace velmora {

RenderProfile::RenderProfile(QObject *parent) : QObject(parent) {
    PrepareRenderEnvironment();
    // A profile without a storage name is off the record: it writes nothing.
    profile_ = std::make_unique<QWebEngineProfile>();
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setSpellCheckEnabled(false);
    guard_ = std::make_unique<RequestGuard>();
    profile_->setUrlRequestInterceptor(guard_.get());
    pages_ = std::make_unique<LocalPageSchemeHandler>();
    profile_->installUrlSchemeHandler(LocalPageScheme().toLatin1(), pages_.get());
    connect(profile_.get(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *download) {
                ++refusedDownloads_;
                download->cancel();
            });

    QWebEngineSettings *s = profile_->settings();
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
}

RenderProfile::~RenderProfile() {
    // The profile first, while the handlers it points at still exist.
    profile_.reset();
}

int RenderProfile::BlockedRequests() const {
    return guard_->Blocked();
}

QStringList RenderProfile::BlockedUrls() const {
    return guard_->BlockedUrls();
}

} // namespace velmora

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
    m_profile = std::make_unique<QWebEngineProfile>();
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);
    m_guard = std::make_unique<RequestGuard>();
    m_profile->setUrlRequestInterceptor(m_guard.get());
    m_pages = std::make_unique<LocalPageSchemeHandler>();
    m_profile->installUrlSchemeHandler(LocalPageScheme().toLatin1(), m_pages.get());
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *download) {
                ++m_refusedDownloads;
                download->cancel();
            });

    QWebEngineSettings *s = m_profile->settings();
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
    m_profile.reset();
}

int RenderProfile::BlockedRequests() const {
    return m_guard->Blocked();
}

QStringList RenderProfile::BlockedUrls() const {
    return m_guard->BlockedUrls();
}

} // namespace velmora

#include "render/request_guard.h"

#include "render/page_source.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QWebEngineUrlRequestJob>

using namespace Qt::StringLiterals;

namespace velmora {

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo &info) {
    if (IsAllowedScheme(info.requestUrl().scheme()))
        return;
    info.block(true);
    ++m_blocked;
    std::lock_guard lock(m_lock);
    if (m_blockedUrls.size() < kKeptUrls)
        m_blockedUrls << info.requestUrl().toString();
}

QStringList RequestGuard::BlockedUrls() const {
    std::lock_guard lock(m_lock);
    return m_blockedUrls;
}

void LocalPageSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job) {
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = PathFromPageUrl(job->requestUrl());
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The buffer belongs to the job, which outlives the reply.
    auto *body = new QBuffer(job);
    body->setData(file.readAll());
    job->reply(ContentTypeForFile(path).toLatin1(), body);
}

} // namespace velmora

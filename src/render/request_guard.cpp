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
    ++blocked_;
    std::lock_guard lock(lock_);
    if (blockedUrls_.size() < kKeptUrls)
        blockedUrls_ << info.requestUrl().toString();
}

QStringList RequestGuard::BlockedUrls() const {
    std::lock_guard lock(lock_);
    return blockedUrls_;
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

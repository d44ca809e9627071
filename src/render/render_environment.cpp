#include "render/render_environment.h"

#include "render/page_source.h"

#include <QCoreApplication>
#include <QWebEngineUrlScheme>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

bool RunsHeadless() {
    if (qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        return true;
    if (!QCoreApplication::instance())
        return false;
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(u"-platform"_s);
    return at >= 0 && at + 1 < args.size() && args.at(at + 1).startsWith(u"offscreen"_s);
}

void AddChromiumFlag(const QByteArray &flag) {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.split(' ').contains(flag))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

void RegisterLocalPageScheme() {
    const QByteArray name = LocalPageScheme().toLatin1();
    if (QWebEngineUrlScheme::schemeByName(name).name() == name)
        return;
    QWebEngineUrlScheme scheme(name);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local content that may load other local content, treated as a secure
    // origin so pages get the same script features as on a file: URL.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                    QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

} // namespace

void PrepareRenderEnvironment() {
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (RunsHeadless())
        AddChromiumFlag("--disable-gpu");
    RegisterLocalPageScheme();
}

void PrepareRenderingBeforeApplication() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    PrepareRenderEnvironment();
}

} // namespace velmora

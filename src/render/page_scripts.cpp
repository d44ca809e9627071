#include "render/page_scripts.h"

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

QString JsString(const QString &text) {
    QString quoted = text;
    quoted.replace(u"\\"_s, u"\\\\"_s).replace(u"'"_s, u"\\'"_s);
    return u"'"_s + quoted + u"'"_s;
}

QString CssColour(ColorRef color) {
    const QColor c = ColorFromRef(color);
    return c.isValid() ? c.name() : QString();
}

} // namespace

QString LinkHoverScript(const QString &messageKey) {
    return uR"JS((function () {
  const key = %1;
  let last = null;
  function report(link) {
    const info = { url: '', target: '', frame: location.href };
    if (link) {
      info.url = typeof link.href === 'string' ? link.href : '';
      info.target = link.getAttribute('target') || '';
    }
    const text = JSON.stringify(info);
    if (text === last) return;
    last = text;
    console.log(key + 'hover ' + text);
  }
  document.addEventListener('mouseover', function (e) {
    const t = e.target;
    report(t && t.closest ? t.closest('a[href],area[href]') : null);
  }, true);
  document.addEventListener('mouseout', function (e) {
    if (!e.relatedTarget) report(null);
  }, true);
})();)JS"_s.arg(JsString(messageKey));
}

QString DefaultColoursScript(const DisplaySettings &display) {
    return uR"JS((function () {
  const b = document.body;
  const text = %1, link = %2;
  if (b && b.tagName === 'BODY' && text && !b.hasAttribute('text')) b.setAttribute('text', text);
  if (b && b.tagName === 'BODY' && link && !b.hasAttribute('link')) b.setAttribute('link', link);
  if (%3) {
    const style = document.createElement('style');
    style.textContent = 'img, input[type=image], picture, object, embed, video ' +
      '{ visibility: hidden !important } * { background-image: none !important }';
    (document.head || document.documentElement).appendChild(style);
  }
})();)JS"_s.arg(JsString(CssColour(display.fontColor)), JsString(CssColour(display.linkColor)),
                display.showImages ? u"false"_s : u"true"_s);
}

QString SettleScript(const QString &messageKey, int token, int maxRounds, int frames) {
    return uR"JS((function () {
  const key = %1, token = %2, maxRounds = %3, frames = %4;
  let changed = false, rounds = 0;
  const watcher = new MutationObserver(function () { changed = true; });
  watcher.observe(document, { subtree: true, childList: true, attributes: true,
                              characterData: true });
  function picturesPending() {
    for (const img of document.images)
      if (!img.complete && img.loading !== 'lazy') return true;
    return false;
  }
  function nextFrame(then) {
    // Hidden documents get no animation frames; a short timeout stands in.
    if (document.visibilityState === 'hidden') setTimeout(then, 16);
    else requestAnimationFrame(then);
  }
  function round() {
    setTimeout(function () {
      nextFrame(frames > 1 ? function () { nextFrame(check); } : check);
    }, 0);
  }
  function check() {
    if ((changed || picturesPending()) && rounds < maxRounds) {
      changed = false;
      ++rounds;
      round();
      return;
    }
    watcher.disconnect();
    // Said when the rounds ran out on a document that still changes.
    const still = changed || picturesPending() ? ' still' : '';
    whenPicturesDecoded(function () { console.log(key + 'painted ' + token + still); });
  }
  // A loaded picture may still be decoding, and is painted only then: the
  // report waits for the decoding and two more frames, but not for ever.
  function whenPicturesDecoded(report) {
    let done = false;
    function once() { if (!done) { done = true; report(); } }
    const decoding = [];
    for (const img of document.images)
      if (img.complete && img.naturalWidth > 0 && img.decode)
        decoding.push(img.decode().catch(function () {}));
    if (!decoding.length) { once(); return; }
    setTimeout(once, 1000);
    Promise.all(decoding).then(function () { nextFrame(function () { nextFrame(once); }); });
  }
  round();
})();)JS"_s.arg(JsString(messageKey))
        .arg(token)
        .arg(maxRounds)
        .arg(frames);
}

QString FrameMarkScript(const QString &messageKey, int token, const QColor &colour,
                        QSize viewport) {
    return uR"JS((function () {
  const key = %1, token = %2, colour = %3, width = %4, height = %5;
  // Kept in this isolated world, out of the page scripts' sight.
  const old = window.velmoraFrameMark;
  window.velmoraFrameMark = null;
  if (old) old.remove();
  if (!colour) return;
  const root = document.documentElement;
  const unchanged = function (style) {
    return style.filter === 'none' && style.transform === 'none' && style.zoom === '1' &&
           style.opacity === '1' && style.mixBlendMode === 'normal' &&
           style.display !== 'none' && style.visibility === 'visible';
  };
  if (!root || root.namespaceURI !== 'http://www.w3.org/1999/xhtml' ||
      !unchanged(getComputedStyle(root))) {
    console.log(key + 'unmarkable ' + token);
    return;
  }
  const mark = document.createElementNS('http://www.w3.org/1999/xhtml', 'velmora-frame-mark');
  mark.setAttribute('style', 'all: initial !important; display: block !important;' +
    'position: fixed !important; left: 0 !important; top: 0 !important;' +
    'width: 4px !important; height: 4px !important; z-index: 2147483647 !important;' +
    'pointer-events: none !important; background: ' + colour + ' !important;');
  window.velmoraFrameMark = mark;
  // The viewport may still have its former size while the engine passes the
  // new one on; the mark waits for it.
  (function place() {
    if (window.velmoraFrameMark !== mark) return;
    if (Math.abs(innerWidth - width) > 1 || Math.abs(innerHeight - height) > 1) {
      setTimeout(place, 8);
      return;
    }
    root.appendChild(mark);
  })();
})();)JS"_s.arg(JsString(messageKey))
        .arg(token)
        .arg(JsString(colour.isValid() ? colour.name() : QString()))
        .arg(viewport.width())
        .arg(viewport.height());
}

} // namespace velmora

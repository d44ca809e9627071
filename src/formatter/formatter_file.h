#pragma once
// Formatting whole files: the bytes of a page in, the formatted bytes out, in
// the page's own encoding and with its own line ends.

#include "formatter/formatter_style.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace velmora {

enum class LineEnding { CrLf, Lf };

// The line end a text uses: that of its first line break (LF when it has none).
LineEnding DetectLineEnding(QStringView text);
// The line end of a page given as bytes, read in the page's encoding.
LineEnding DetectLineEnding(const QByteArray &bytes);
// Formats the page: decoded in its encoding (UTF-16 or UTF-32 after their
// byte-order mark, else UTF-8 when valid, else Latin-1) and encoded back the
// same way (a byte-order mark is kept), with the page's line ends. Nothing for
// bytes that are not text (see DecodedText::binary).
std::optional<QByteArray> FormatFileBytes(const QByteArray &bytes, const FormatterStyle &style);

// Takes the formatted bytes piece by piece, in order.
using ByteSink = std::function<void(const QByteArray &chunk)>;
// FormatFileBytes, handing the result to sink line by line as it is made: the
// input bytes (freed once decoded, when the caller moved them in) and the
// formatted text are never held at the same time as a whole. Returns false,
// having handed nothing to sink, for bytes that are not text.
bool FormatFileStream(QByteArray bytes, const FormatterStyle &style, const ByteSink &sink);

bool ReadWholeFile(const QString &path, QByteArray &bytes, QString &error);

} // namespace velmora

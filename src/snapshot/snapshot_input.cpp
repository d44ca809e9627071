#include "snapshot/snapshot_input.h"

#include "foundation/text_utils.h"

#include <QFileInfo>

#include <limits>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

int DigitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return 99;
}

// Any message: the edit's text followed by the reason.
QString Invalid(const QString &text, const char16_t *reason) {
    return text + QString::fromUtf16(reason);
}

// Reads one value; stores it only when it passes, so that a failure keeps
// what was there before.
bool ReadInto(const QString &text, int &field) {
    const std::optional<int> value = ReadInteger(text);
    if (!value)
        return false;
    field = *value;
    return true;
}

} // namespace

std::optional<int> ReadInteger(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < text.size() && (text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' &&
               (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    // Hexadecimal may fill all 32 bits ($FFFFFFFF is -1); decimal must fit.
    const qint64 limit = base == 16 ? qint64(0xFFFFFFFF)
                                    : qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16)
        value = qint64(qint32(quint32(value)));
    return int(negative ? -value : value);
}

std::optional<QString> TestInput(const SnapshotInput &input, TSnapShotParams &params) {
    params.UseCustomSize = input.custom;
    if (input.custom) {
        const std::optional<int> width = ReadInteger(input.width);
        if (!width)
            return Invalid(input.width, u" is not a valid width!");
        const std::optional<int> height = ReadInteger(input.height);
        if (!height)
            return Invalid(input.height, u" is not a valid height!");
        if (*width < 10 || *height < 10)
            return u"Minimum size is 10x10 pixels!"_s;
        if (*width > 2000 || *height > 3000)
            return u"Maximum size is 2000x3000 pixels!"_s;
        params.CustomWidth = *width;
        params.CustomHeight = *height;
    }
    const std::optional<int> scale = ReadInteger(input.scale);
    if (!scale || *scale < 5 || *scale > 100)
        return Invalid(input.scale, u" is not a valid scaling factor: (5-100%)!");
    params.Scale = *scale;
    if (!ReadInto(input.shade, params.Shade))
        return Invalid(input.shade, u" is not a valid shade width: (0-30 pixel)!");
    if (!ReadInto(input.border, params.Border))
        return Invalid(input.border, u" is not a valid border width: (0-30 pixel)!");
    params.CropVerti = input.cropVerti;
    params.CropHori = input.cropHori;
    const SnapshotGeometry geometry = ComputeSnapshotGeometry(
        params.BaseSize(), params.Scale, params.Shade, params.CropVerti, params.CropHori);
    params.Geometry.ScaledWidth = geometry.ScaledWidth;
    params.Geometry.ScaledHeight = geometry.ScaledHeight;
    if (geometry.PageSize().width() < 10 || geometry.PageSize().height() < 10)
        return u"Resulting snapshot would be smaller than 10x10 pixels.\n"
               u"Please increase size values or scaling factor."_s;
    params.Geometry = geometry;
    params.BGCol = input.bgCol;
    params.ShadeCol = input.shadeCol;
    params.BorderCol = input.borderCol;
    params.FilterIndex = kLanczos3Index;
    return std::nullopt;
}

QString SinglePreviewStatus(const TSnapShotParams &params) {
    const SnapshotGeometry &g = params.Geometry;
    return u"Snapshot done: (Source: %1x%2,  Snapshot: %3x%4 = %5%)"_s.arg(g.Base.width())
        .arg(g.Base.height())
        .arg(g.TotalWidth)
        .arg(g.TotalHeight)
        .arg(params.Scale);
}

QString BatchPreviewStatus(const TSnapShotParams &params) {
    const SnapshotGeometry &g = params.Geometry;
    return u"Preview file (1 of %1): (Source: %2x%3,  Output: %4x%5)"_s.arg(params.SelCount)
        .arg(g.Base.width())
        .arg(g.Base.height())
        .arg(g.TotalWidth)
        .arg(g.TotalHeight);
}

QString BatchProgressText(int done, int count, const QString &path) {
    return u"("_s + QString::number(done) + u" of "_s + QString::number(count) + u"): "_s + path;
}

QString SnapshotFileName(const QString &pagePath, const QString &ext) {
    QString name = QFileInfo(pagePath).fileName();
    ReplaceAll(name, u"."_s, u"_"_s);
    return u"snap_"_s + name + ext;
}

QString SnapshotExtension(int format) {
    return format == kSnapshotBmp ? u".bmp"_s : u".jpg"_s;
}

} // namespace velmora

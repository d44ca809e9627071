#pragma once
// Checking the snapshot options as the user typed them (TestInput) and the
// texts the snapshot commands show: status lines, progress lines and the
// names of the files they propose or write.

#include "snapshot/snapshot_params.h"

#include <QString>

#include <optional>

namespace velmora {

// An integer as the options window reads its edits: leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "$", "x" or
// "0x". Nothing may follow; an empty text, trailing blanks and values beyond
// 32 bits give nothing.
std::optional<int> ReadInteger(const QString &text);

// What the options window holds when it is checked.
struct SnapshotInput {
    bool custom = true; // "Custom browser size" chosen
    QString width, height, scale, shade, border;
    bool cropVerti = false;
    bool cropHori = false;
    ColorRef bgCol = clWhite;
    ColorRef shadeCol = clGray;
    ColorRef borderCol = clNavy;
};

// Checks the input in the fixed order and stores each value into params as it
// passes, then derives the geometry. The first failure gives its message and
// ends the check, keeping what was stored before it; success gives nothing.
std::optional<QString> TestInput(const SnapshotInput &input, TSnapShotParams &params);

// "Snapshot done: (Source: WxH,  Snapshot: WxH = S%)" after a single preview.
QString SinglePreviewStatus(const TSnapShotParams &params);
// "Preview file (1 of n): (Source: WxH,  Output: WxH)" in batch mode.
QString BatchPreviewStatus(const TSnapShotParams &params);
// "(done of count): path" above the progress bar of a batch export.
QString BatchProgressText(int done, int count, const QString &path);
// "snap_" + the file name of pagePath with every "." made "_" + ext.
QString SnapshotFileName(const QString &pagePath, const QString &ext);
// The extension of a save dialog filter index: 1 ".jpg", 2 ".bmp".
QString SnapshotExtension(int format);

} // namespace velmora

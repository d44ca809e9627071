#pragma once
// Helpers shared by the formatter tests: styles written into temporary
// folders and output compared with LF line ends.

#include "formatter/formatter_style.h"

#include <QString>
#include <QTemporaryDir>

namespace velmora::testing {

// A style folder built from one INI text: section OPTIONS goes to
// options.ini, every other section to tag.ini, in order.
class StyleFolder {
public:
    explicit StyleFolder(const QString &iniText);
    QString Path() const { return dir_.path(); }
    FormatterStyle Load() const { return LoadFormatterStyle(dir_.path()); }

private:
    QTemporaryDir dir_;
};

FormatterStyle StyleFromIni(const QString &iniText);
// The stock style shipped with the program.
FormatterStyle StockStyle();
// Formats and turns the CR LF line ends into LF.
QString FormatLf(const QString &text, const FormatterStyle &style, const QString &prefix = {});
QString ReadTextFile(const QString &path);

} // namespace velmora::testing

#include "formatter_test_support.h"

#include "formatter/html_formatter.h"
#include "temp_files.h"

#include <QFile>
#include <QRegularExpression>

namespace velmora::testing {

using namespace Qt::StringLiterals;

StyleFolder::StyleFolder(const QString &iniText) {
    QString options;
    QString tags;
    QString *target = &tags;
    for (const QString &line : iniText.split(u'\n')) {
        const QString t = line.trimmed();
        if (t.startsWith(u'[') && t.endsWith(u']'))
            target = t.compare(u"[OPTIONS]"_s, Qt::CaseInsensitive) == 0 ? &options : &tags;
        *target += line + u'\n';
    }
    WriteBytes(dir_.filePath(u"options.ini"_s), options.toUtf8());
    WriteBytes(dir_.filePath(u"tag.ini"_s), tags.toUtf8());
}

FormatterStyle StyleFromIni(const QString &iniText) {
    return StyleFolder(iniText).Load();
}

FormatterStyle StockStyle() {
    return LoadFormatterStyle(QStringLiteral(VELMORA_STOCK_STYLE));
}

QString FormatLf(const QString &text, const FormatterStyle &style, const QString &prefix) {
    return FormatHtml(text, style, prefix).replace(u"\r\n"_s, u"\n"_s);
}

QString ReadTextFile(const QString &path) {
    return QString::fromUtf8(ReadBytes(path));
}

} // namespace velmora::testing

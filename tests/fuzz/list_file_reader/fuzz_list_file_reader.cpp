// Feeds arbitrary bytes to the list-file reader and everything a loaded list
// goes through: the model fill, its entry lines and paths, sorting by every
// column in both styles, duplicate removal, and writing the list back, which
// must read back to the same lines.

#include "filelists/duplicate_entries.h"
#include "filelists/file_list_model.h"
#include "filelists/list_file.h"

#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = ParseListFileText(bytes);

    const QStringList again = ParseListFileText(ListFileBytes(lines));
    const bool startsWithMark = !lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF));
    if (again != lines && !startsWithMark)
        abort(); // writing and reading back must keep every line

    const QLocale locale = (size % 2) ? QLocale(QLocale::English) : QLocale::c();
    FileListModel model(locale);
    model.FillLVFromList(lines);
    if (model.Count() != lines.size())
        abort();
    for (int column = 0; column < 5; ++column) {
        model.SetSortStyle(column == 3 ? SortStyle::Smart : SortStyle::Plain);
        model.sort(column, (column % 2) ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    for (int row = 0; row < model.Count(); ++row) {
        const QString line = model.GetLVEntryLine(row);
        if (line.count(u'*') != 4 || !line.startsWith(model.Field(row, 0)))
            abort();
        (void)model.GetLVEntryPath(row);
    }
    QStringList unique = lines;
    RemoveDuplicateEntries(unique, locale);
    if (unique.size() > lines.size())
        abort();
    return 0;
}

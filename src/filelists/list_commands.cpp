#include "filelists/list_commands.h"

#include "filelists/file_list_model.h"
#include "foundation/filter_definition.h"
#include "foundation/prompts.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

QString NoListCaption() {
    return u"Open a file list, or click 'Search' or 'Add' to create a list"_s;
}

QString DeletedListCaption() {
    return u"Open a file list, or click \"Search Files\" ..."_s;
}

QString FilesFoundInCaption(const QString &x) {
    return u" Files found in \""_s + x + u"\":"_s;
}

SearchOutcome JudgeSearch(int n, int k, bool add) {
    if (n == 0)
        return SearchOutcome::NoneFound;
    if (add && n - k == 0)
        return SearchOutcome::NothingNew;
    return SearchOutcome::Show;
}

QString NoMatchingFilesMessage(const QString &folder) {
    const QString br(kMessageBreak);
    return u"No matching files found in folder:"_s + br + br + folder;
}

QString NoNewEntriesMessage(const QString &folder) {
    const QString br(kMessageBreak);
    return u"No new entries to add ..."_s + br + br + folder;
}

QString SearchFinishedMessage(int n, int added) {
    const QString br(kMessageBreak);
    QString text =
        br + u"Search finished."_s + br + QString::number(n) + u" unique entries in list."_s + br;
    if (added > 0)
        text += QString::number(added) + u" new entries added."_s + br;
    return text + u"Save results?"_s;
}

QString FilesAddedMessage(int added) {
    const QString br(kMessageBreak);
    return br + QString::number(added) + u" new entries added."_s + br + u"Save results?"_s;
}

QString SearchDialogLabel(const QString &mask, const QString &folder) {
    const QString br(kMessageBreak);
    return br + u"Search for:"_s + br + mask + br + u"in folder:"_s + br + u'"' + folder + u'"';
}

QString AddDialogFilter(const QString &allowedExtensions) {
    QStringList filters;
    for (const FileFilter &filter : ParseFilterDefinition(allowedExtensions)) {
        QStringList patterns;
        for (const QString &part : filter.mask.split(u';', Qt::SkipEmptyParts)) {
            const QString pattern = part.trimmed();
            patterns << pattern;
            const qsizetype dot = pattern.lastIndexOf(u'.');
            if (dot >= 0 && pattern.size() - dot == 4 && !pattern.endsWith(u'*'))
                patterns << pattern + u'*';
        }
        if (!patterns.isEmpty())
            filters << filter.description + u" ("_s + patterns.join(u' ') + u')';
    }
    return filters.join(u";;"_s);
}

QString SaveCurrentListMessage(const QString &listDir) {
    const QString br(kMessageBreak);
    return br + u"Save current list to folder:"_s + br + br + listDir;
}

QString NothingToSaveMessage() {
    return u"Nothing to save!"_s;
}

int EntriesToSave(CopyMode mode, int rows, int selected) {
    switch (mode) {
    case CopyMode::Selected:
        return selected;
    case CopyMode::Unselected:
        return rows - selected;
    case CopyMode::All:
        break;
    }
    return rows;
}

QString DeleteListQuestion(const QString &path) {
    return u"Delete List File \""_s + path + u"\" from disk?"_s;
}

QString MergeSavedMessage() {
    return QString(kMessageBreak) + u"Filelists merged ..."_s;
}

QStringList SavedListNames(const QString &listDir) {
    QDir dir(listDir);
    dir.setNameFilters({u"*.lst"_s});
    dir.setFilter(QDir::Files);
    QStringList names = dir.entryList();
    // By name without regard to letter case, as the box lists them.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

} // namespace velmora

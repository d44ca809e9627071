#pragma once
// The file list entry and its text form, the entry line: the five fields
// Folder, Filename, Ext, Size and Date joined by '*', as list files and the
// working list carry them.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <ctime>

namespace velmora {

inline constexpr QChar kEntrySeparator = u'*';
inline constexpr int kEntryFieldCount = 5;

enum EntryField { FieldFolder = 0, FieldFilename, FieldExt, FieldSize, FieldDate };

struct FileEntry {
    QString folder;   // with exactly one trailing '/'
    QString filename; // name without its final extension
    QString ext;      // final extension with its dot, or empty
    QString size;     // decimal text
    QString date;     // "yyyy-mm-dd  hh:mm", local time

    QString Path() const { return folder + filename + ext; }
    QString Line() const;
    friend bool operator==(const FileEntry &, const FileEntry &) = default;
};

struct NameParts {
    QString filename;
    QString ext;
};
// Cuts a file name at its final dot: "a.b.c" gives "a.b" and ".c", ".htaccess"
// gives "" and ".htaccess", "README" gives "README" and "".
NameParts SplitFileName(const QString &name);

// Field k of a line is the text between the k-th and the (k+1)-th '*'; fields
// the line does not reach are empty and text after a fifth '*' is ignored.
FileEntry ParseEntryLine(QStringView line);
// Folder + Filename + Ext of an entry line.
QString EntryLinePath(QStringView line);

// What a directory listing tells about one entry.
struct FoundEntry {
    QString name;
    qint64 size = 0;
    std::time_t modified = 0; // seconds since the epoch
};

// True when text can stand inside an entry line that is stored one per line:
// no '*' (the separator), no CR, LF or NUL.
bool CanHoldInEntryLine(QStringView text);
QString FormatEntrySize(qint64 size);
// "yyyy-mm-dd  hh:mm" in local time; seconds are dropped, not rounded.
QString FormatEntryDate(std::time_t modified);
// The entry line of a found file in folder; empty when the folder or the name
// holds a character an entry line cannot carry (such files are left out
// rather than written as a corrupt line).
QString MakeEntryLine(const QString &folder, const FoundEntry &entry);

// Yes for INDEX, DEFAULT, START and WELCOME in any ASCII letter case.
bool IsDefaultPageName(const QString &name);

} // namespace velmora

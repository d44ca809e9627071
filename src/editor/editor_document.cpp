#include "editor/editor_document.h"

#include "foundation/atomic_file.h"
#include "foundation/file_reader.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

bool IsPictureFile(const QString &path) {
    const QString suffix = u"."_s + QFileInfo(path).suffix().toUpper();
    return suffix == u".JPG"_s || suffix == u".GIF"_s;
}

qsizetype PositionOfLine(QStringView text, int line, int column) {
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        const auto next = std::find_if(text.begin() + start, text.end(), [](QChar c) {
            return c == u'\n' || c == QChar::ParagraphSeparator;
        });
        if (next == text.end())
            return text.size();
        start = next - text.begin() + 1;
    }
    const auto end = std::find_if(text.begin() + start, text.end(), [](QChar c) {
        return c == u'\n' || c == QChar::ParagraphSeparator;
    });
    const qsizetype lineLength = (end - text.begin()) - start;
    return start + std::clamp<qsizetype>(qsizetype(column) - 1, 0, lineLength);
}

// ---- the buffer ----------------------------------------------------------------

void EditorTextBuffer::Replace(const QString &text, bool holdsFile, bool readOnly) {
    text_ = text;
    holdsFile_ = holdsFile;
    readOnly_ = readOnly;
    selectionStart_ = 0;
    selectionLength_ = 0;
    SetModified(false);
}

void EditorTextBuffer::ShowText(const EditorText &text) {
    Replace(text.text, true, !text.exact);
}

void EditorTextBuffer::ShowNotice(const QString &notice) {
    Replace(notice, false, true);
}

// Empty, and editable or not as before.
void EditorTextBuffer::ClearText() {
    Replace(QString(), holdsFile_, readOnly_);
}

void EditorTextBuffer::SetModified(bool modified) {
    if (modified == modified_)
        return;
    modified_ = modified;
    emit ModifiedChanged(modified);
}

void EditorTextBuffer::Select(qsizetype position, qsizetype length) {
    selectionStart_ = std::clamp<qsizetype>(position, 0, text_.size());
    selectionLength_ = std::clamp<qsizetype>(length, 0, text_.size() - selectionStart_);
}

bool EditorTextBuffer::Edit(const QString &text) {
    if (readOnly_ || !holdsFile_)
        return false;
    text_ = text;
    SetModified(true);
    return true;
}

// ---- the document ----------------------------------------------------------------

EditorDocument::EditorDocument(Prompts &prompts) : prompts_(prompts) {
    connect(&buffer_, &EditorTextBuffer::ModifiedChanged, this, [this](bool modified) {
        if (view_ == &buffer_)
            TextModifiedChanged(modified);
    });
}

EditorDocument::~EditorDocument() = default;

void EditorDocument::SetView(EditorTextView *view) {
    view_ = view ? view : &buffer_;
}

void EditorDocument::TextModifiedChanged(bool modified) {
    emit ModifiedChanged(modified);
}

void EditorDocument::Load(const QString &file) {
    if (file.isEmpty())
        return;
    ++generation_;
    if (IsPictureFile(file)) {
        SetFile(QString(), FileStamp(file));
        loaded_ = {};
        original_.clear();
        view_->ShowNotice(kPictureNotice);
    } else {
        ShowFileText(file);
    }
    view_->SetModified(false);
    emit Loaded(file);
}

void EditorDocument::ShowFileText(const QString &file) {
    SetFile(file, FileStamp(file));
    const FileRead read = ReadRegularFile(file, kMaxPageBytes);
    if (read.status != ReadStatus::Ok) {
        loaded_ = {};
        original_.clear();
        view_->ShowNotice(u"\r\n  This file cannot be shown in the editor: "_s + read.error);
        return;
    }
    original_ = read.bytes;
    loaded_ = DecodeEditorText(original_);
    view_->ShowText(loaded_);
}

void EditorDocument::Clear() {
    ++generation_;
    view_->ClearText();
    loaded_ = {};
    original_.clear();
    SetFile(QString(), 0);
    view_->SetModified(false);
    emit Cleared();
}

bool EditorDocument::Save(const QString &file) {
    const bool modified = view_->IsModified();
    // What cannot be held exactly is never written from the editor's text;
    // an unchanged document is written as it was read.
    if (file.isEmpty() || !view_->HoldsFileText() || (modified && !loaded_.exact)) {
        prompts_.Beep();
        return false;
    }
    const QString edited = modified ? view_->EditedText() : QString();
    if (modified) {
        // A character the file's encoding cannot hold would be lost.
        const QString problem = EditorSaveProblem(loaded_, edited);
        if (!problem.isEmpty()) {
            prompts_.ShowInfo(u"File saving error in:"_s + kMessageBreak + file + kMessageBreak +
                              problem);
            return false;
        }
    }
    const QByteArray bytes = modified ? EncodeEditorText(loaded_, edited) : original_;
    QString reason;
    if (!WriteFileAtomically(file, bytes, &reason)) {
        prompts_.ShowInfo(u"File saving error in:"_s + kMessageBreak + file + kMessageBreak +
                          u"Please check diskspace and writing permissions..."_s + kMessageBreak +
                          reason);
        return false;
    }
    // The text in the editor is now what the file holds.
    original_ = bytes;
    loaded_ = DecodeEditorText(bytes);
    // The stamp stays the one of the editor's own file: a copy's stamp
    // would make the next return to the program report an outside change.
    if (file == File())
        SetFileTime(FileStamp(file));
    view_->SetModified(false);
    emit Saved(file);
    return true;
}

bool EditorDocument::Save() {
    if (File().isEmpty()) {
        prompts_.Beep();
        return false;
    }
    return Save(File());
}

QString EditorDocument::SaveAs(FileDialogs &dialogs) {
    if (File().isEmpty()) {
        prompts_.Beep();
        return {};
    }
    const QString chosen = dialogs.GetSaveFileName(u"Save As"_s, File(), QString());
    if (chosen.isEmpty())
        return {};
    const QFileInfo info(chosen);
    const QString copy =
        MakeFileName(WithBackslash(info.absolutePath()), info.fileName(), QString(), prompts_);
    if (copy.isEmpty() || !Save(copy))
        return {};
    return copy;
}

bool EditorDocument::OpenAt(const QString &file, int line, int column, int length) {
    if (file.isEmpty())
        return false;
    if (file != File()) {
        if (!MayGoOn(SaveChangesPrompt()))
            return false;
        Load(file);
    }
    if (File() != file || !view_->HoldsFileText())
        return false;
    const QString text = view_->EditedText();
    const qsizetype start = PositionOfLine(text, line, column);
    view_->Select(start, std::clamp<qsizetype>(length, 0, text.size() - start));
    return true;
}

void EditorDocument::ReloadFromDisk() {
    Load(File());
}

SaveChangesReply EditorDocument::SaveChangesPrompt() {
    // The text is about to be rewritten by a command: nothing may close or
    // move on before that is done.
    if (busy_)
        return SaveChangesReply::Cancel;
    if (!saveOffered_ || !view_->IsModified() || File().isEmpty())
        return SaveChangesReply::NotAsked;
    switch (prompts_.AskYesNoCancel(u"Save changes in: "_s + File())) {
    case Answer::Yes:
        Save();
        // A save that failed keeps the text: the caller must not go on and
        // replace it.
        return view_->IsModified() ? SaveChangesReply::Cancel : SaveChangesReply::Yes;
    case Answer::No:
        return SaveChangesReply::No;
    case Answer::Cancel:
        break;
    }
    return SaveChangesReply::Cancel;
}

} // namespace velmora

#pragma once
// The editor's find-and-replace dialog: find text, replace text, Match case
// Whole word and Regular expression, with Find Next, Replace and Replace All. It is not modal:
// the user goes on editing while it is open. It searches nothing itself; the
// window that owns it acts on its requests.

#include "editor/search_replace.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velmora {

class ReplaceDialog1 final : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog1(QWidget *parent = nullptr);

    QString FindText() const;
    QString ReplaceText() const;
    void SetFindText(const QString &text);
    void SetReplaceText(const QString &text);
    SearchOptions Options() const;

signals:
    void FindNextRequested();
    // all: Replace All rather than Replace.
    void ReplaceRequested(bool all);

private:
    QPushButton *AddButton(const QString &caption, const QString &name);
    void FollowFindText();

    QLineEdit *findEdit_ = nullptr;
    QLineEdit *replaceEdit_ = nullptr;
    QCheckBox *wholeWord_ = nullptr;
    QCheckBox *matchCase_ = nullptr;
    QCheckBox *regularExpression_ = nullptr;
    QPushButton *findNext_ = nullptr;
    QPushButton *replace_ = nullptr;
    QPushButton *replaceAll_ = nullptr;
    QPushButton *cancel_ = nullptr;
};

} // namespace velmora

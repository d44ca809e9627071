#pragma once
// The Check Links window: a folder, an optional start page and three check
// boxes choose what is checked; the check runs off the window's thread (the
// CheckWorker) and its problems fill a sortable report as they are found.
// A double click on a row asks for the page to be opened at the row's line;
// Save Report writes the rows as CSV. The window is a dialog that is not
// modal: the user may go on working in the main window meanwhile.

#include "sitecheck/check_results_model.h"
#include "sitecheck/check_worker.h"

#include <QDialog>
#include <QSortFilterProxyModel>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeView;

namespace velmora {

class FileDialogs;
class Prompts;

struct CheckLinksServices {
    Prompts &prompts;
    FileDialogs &dialogs;
    // The filter definition whose masks name the page extensions
    // (ALLOWED_EXTENSIONS), and the program's thumbnail folder.
    QString allowedExtensions;
    QString thumbDir;
};

class CheckLinksWindow final : public QDialog {
    Q_OBJECT
public:
    CheckLinksWindow(const CheckLinksServices &services, QWidget *parent = nullptr);
    ~CheckLinksWindow() override;

    // Fills in the folder unless a check is running.
    void SetFolder(const QString &folder);
    void SetAllowedExtensions(const QString &definition) { allowedExtensions_ = definition; }

    // The commands behind the buttons.
    void StartCheck();
    void StopCheck();
    void SaveReport();

    bool Checking() const { return worker_.Running(); }
    const CheckResultsModel &Results() const { return results_; }
    QTreeView *Report() const { return report_; }
    QString StatusText() const;

signals:
    // A row was double-clicked: page (absolute) at line (from 1; 0 for the
    // page as a whole).
    void OpenPageRequested(const QString &page, int line);
    // A check ended; for tests and the status of the caller.
    void CheckFinished();

protected:
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    void ChooseFolder();
    void OpenRow(const QModelIndex &index);
    void OnProblems(const QList<LinkProblem> &problems);
    void OnProgress(int done, int total);
    void OnFinished(const SiteCheckSummary &summary, double seconds);
    void UpdateButtons();
    QString CheckedFolder() const;

    Prompts &prompts_;
    FileDialogs &dialogs_;
    QString allowedExtensions_;
    QString thumbDir_;
    QString checkedFolder_; // of the rows on show

    CheckResultsModel results_;
    QSortFilterProxyModel sorted_;
    CheckWorker worker_;

    QLineEdit *folder_ = nullptr;
    QToolButton *chooseFolder_ = nullptr;
    QLineEdit *startPage_ = nullptr;
    QCheckBox *subfolders_ = nullptr;
    QCheckBox *anchors_ = nullptr;
    QCheckBox *external_ = nullptr;
    QPushButton *check_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *save_ = nullptr;
    QPushButton *close_ = nullptr;
    QTreeView *report_ = nullptr;
    QLabel *status_ = nullptr;
};

// "N problems in M pages (L links checked, T s)".
QString CheckStatusText(const SiteCheckSummary &summary, double seconds);

} // namespace velmora

#pragma once
// The "Find in Files" window: what to find and where, the results as a tree
// (one row per page, under it one row per occurrence), the status line, and
// Replace All with its preview. Non-modal: the user keeps working in the main
// window while a search runs, and opens a result in the editor from here.

#include "sitesearch/replace_apply.h"
#include "sitesearch/site_search.h"

#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora {

class FileDialogs;
class Prompts;
struct Settings;

struct FindInFilesServices {
    Prompts &prompts;
    FileDialogs &dialogs;
    // Backups and the last texts searched for and replaced with.
    Settings &settings;
    // The editor's page, which a replacement must not overwrite unsaved.
    OpenPage *editor = nullptr;
    // Shows the preview; empty runs it modally. Tests answer it in place.
    std::function<int(QDialog &)> runDialog = {};
};

class FindInFilesWindow final : public QWidget {
    Q_OBJECT
public:
    FindInFilesWindow(const FindInFilesServices &services, QWidget *parent = nullptr);
    ~FindInFilesWindow() override;

    // Fills the fields for a new search: the folder on show, the filter's
    // masks, and the text to find (the editor's selection, else the last
    // text searched). An empty value keeps what the field holds.
    void Prefill(const QString &folder, const QString &masks, const QString &find);

    void FindAll();
    void ReplaceAll();
    void Stop();

    // The status line's text.
    QString Status() const;
    QTreeWidget *Results() const { return results_; }
    SiteSearch &Search() { return search_; }
    bool Searching() const { return search_.Running(); }

signals:
    // An occurrence was chosen: the editor should show it selected.
    void matchActivated(const QString &path, int line, int column, int length);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Then { Nothing, Preview };

    void Build();
    QWidget *BuildFields();
    QWidget *BuildOptions();
    QWidget *BuildButtons();
    void ChooseFolder();
    // Starts a search with the fields' values; false after a message.
    bool StartSearch(Then then);
    SiteSearchQuery QueryFromFields() const;
    void AddFile(const FileMatches &file);
    void Finished(const SearchSummary &summary);
    void ShowStatus();
    void SetSearching(bool searching);
    void ActivateItem(QTreeWidgetItem *item);
    void ShowPreview();

    Prompts &prompts_;
    FileDialogs &dialogs_;
    Settings &settings_;
    OpenPage *editor_;
    std::function<int(QDialog &)> runDialog_;

    SiteSearch search_;
    SiteSearchQuery query_;            // of the search running or last run
    std::vector<ReplaceTarget> found_; // its pages with occurrences
    SearchSummary summary_;
    qint64 matchesSoFar_ = 0;
    bool finished_ = false;
    Then then_ = Then::Nothing;
    QTimer *statusTimer_ = nullptr;

    QLineEdit *findEdit_ = nullptr;
    QLineEdit *replaceEdit_ = nullptr;
    QLineEdit *folderEdit_ = nullptr;
    QLineEdit *masksEdit_ = nullptr;
    QCheckBox *subfolders_ = nullptr;
    QCheckBox *matchCase_ = nullptr;
    QCheckBox *wholeWord_ = nullptr;
    QCheckBox *regex_ = nullptr;
    QPushButton *findAll_ = nullptr;
    QPushButton *replaceAll_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *close_ = nullptr;
    QTreeWidget *results_ = nullptr;
    QLabel *status_ = nullptr;
};

} // namespace velmora

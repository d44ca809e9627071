#pragma once
// The General Options dialog: the six external applications of the context
// menu and the program's switches. It changes the settings in memory, only
// when closed with OK; they reach prg.ini when the program ends.

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace velmora {

class FileDialogs;
class Prompts;
struct Settings;

class TFormGenOpt final : public QDialog {
    Q_OBJECT
public:
    // styleNames: the formatter styles offered in "Formatter style".
    TFormGenOpt(Settings &settings, Prompts &prompts, FileDialogs &dialogs,
                QWidget *parent = nullptr, const QStringList &styleNames = {});

    // "..." of row n (1 to 6): a chosen executable file goes into the row's
    // location box; any other file is refused with a message.
    void BEditorClick(int n);
    // Takes every row and switch over into the settings and closes with OK.
    void BOKClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct AppRow {
        QLineEdit *location = nullptr;
        QLineEdit *param = nullptr;
        QLineEdit *descript = nullptr;
    };

    QWidget *BuildApplicationsGroup();
    QWidget *BuildOptionsGroup();
    QWidget *BuildButtonStrip();
    QWidget *BuildStyleRow(const QStringList &styleNames);
    QCheckBox *AddCheckBox(QWidget *parent, const QString &name, const QString &caption);
    void FormShow();

    Settings &settings_;
    Prompts &prompts_;
    FileDialogs &dialogs_;
    std::array<AppRow, 6> rows_{};
    QCheckBox *cbDoColorTags_ = nullptr;
    QCheckBox *cbShowHints_ = nullptr;
    QCheckBox *cbOpenOnSingleClick_ = nullptr;
    QCheckBox *cbDoShowFileIcons_ = nullptr;
    QCheckBox *cbDoRecycleBin_ = nullptr;
    QComboBox *cbStyleName_ = nullptr;
    QCheckBox *cbDoShowLineNumbers_ = nullptr;
    bool centred_ = false;
};

} // namespace velmora

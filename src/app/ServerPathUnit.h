#pragma once

#include "app/Multiuser.h"
#include "widgets/Forward.h"

#include <QDialog>

class QFileSystemModel;
class QTreeView;

namespace app {

// "Network & Data Path Selection": how this workstation takes part (alone, as a client of a
// server, or as the server) and where the data lies. OK is offered only for a directory that
// holds our database on a drive that suits the chosen type, or for a database server's address
// (postgresql://user@host:port/database). The drives of the older platform are the mounted file
// systems here.
class TServerPathForm : public QDialog {
    Q_OBJECT
public:
    explicit TServerPathForm(
        platform::MultiUserType current, const QString& directory = {}, QWidget* parent = nullptr);

    QGroupBox* UserTypeGroup;
    QRadioButton* StandAloneBtn;
    QRadioButton* ClientBtn;
    QRadioButton* ServerBtn;
    QLabel* DriveLabel;
    QComboBox* DriveCombo;
    QLabel* PathLabel;
    QTreeView* DirectoryTree;
    QLabel* SelectedPathCaption;
    QLabel* SelectedPathLabel;
    QLabel* ServerAddressLabel;
    QLineEdit* ServerAddressEdit;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    std::function<platform::DriveType(const QString&)> driveType = platform::driveTypeOf;

    platform::MultiUserType choice() const { return m_choice; }
    QString selectedDirectory() const { return m_selected; }
    void setChoice(platform::MultiUserType type);
    void selectDirectory(const QString& directory);
    // A server address typed in place of a directory; an empty one goes back to the directory.
    void enterServerAddress(const QString& address);

    // Shows the dialog modally; nothing when it is cancelled. The binding stores the choice.
    static std::optional<DataPathChoice> choose(platform::MultiUserType current, const QString& directory);

private:
    void typeChanged();
    void driveChanged();
    void directoryChanged();
    void fillDrives();

    QFileSystemModel* m_model;
    QButtonGroup* m_types;
    platform::MultiUserType m_choice;
    QString m_selected;
    QString m_directory; // the one chosen in the tree, while an address is typed
};

} // namespace app

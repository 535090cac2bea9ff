#include "app/ServerPathUnit.h"
#include "widgets/Language.h"

#include "db/Connection.h"
#include "db/Errors.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace app {

using platform::MultiUserType;

namespace {

struct TypeTexts {
    const char* drive;
    const char* path;
};
// In the order of MultiUserType.
constexpr TypeTexts kTypeTexts[] = {
    { "LOCAL Drive:", "Data path:" },
    { "NETWORK Drive:", "Data path on server:" },
    { "Local SHARED Drive:", "Shared data path:" },
};

// Pseudo file systems are no place for data.
bool isDataVolume(const QStorageInfo& volume)
{
    static const QList<QByteArray> pseudo { "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2",
        "securityfs", "debugfs", "tracefs", "mqueue", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs",
        "binfmt_misc", "autofs", "efivarfs", "nsfs", "overlay" };
    return volume.isValid() && volume.isReady() && !pseudo.contains(volume.fileSystemType())
        && !volume.rootPath().startsWith(QStringLiteral("/proc"))
        && !volume.rootPath().startsWith(QStringLiteral("/sys"));
}

} // namespace

TServerPathForm::TServerPathForm(MultiUserType current, const QString& directory, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , UserTypeGroup(new QGroupBox(QStringLiteral("Multi-User type:"), this))
    , StandAloneBtn(new QRadioButton(QStringLiteral("Stand-alone"), UserTypeGroup))
    , ClientBtn(new QRadioButton(QStringLiteral("Client"), UserTypeGroup))
    , ServerBtn(new QRadioButton(QStringLiteral("Server"), UserTypeGroup))
    , DriveLabel(new QLabel(QStringLiteral("Network drive:"), this))
    , DriveCombo(new QComboBox(this))
    , PathLabel(new QLabel(QStringLiteral("Data path on server"), this))
    , DirectoryTree(new QTreeView(this))
    , SelectedPathCaption(new QLabel(QStringLiteral("Selected path:"), this))
    , SelectedPathLabel(new QLabel(this))
    , ServerAddressLabel(new QLabel(QStringLiteral("Or a database server:"), this))
    , ServerAddressEdit(new QLineEdit(this))
    , OKBtn(new QPushButton(QStringLiteral("OK"), this))
    , CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
    , m_model(new QFileSystemModel(this))
    , m_types(new QButtonGroup(this))
    , m_choice(current)
{
    setObjectName(QStringLiteral("ServerPathForm"));
    setWindowTitle(QStringLiteral("Network & Data Path Selection"));
    UserTypeGroup->setObjectName(QStringLiteral("RadioGroup1"));
    DriveLabel->setObjectName(QStringLiteral("DriveLabel"));
    DriveCombo->setObjectName(QStringLiteral("DriveComboBox1"));
    PathLabel->setObjectName(QStringLiteral("PathLabel"));
    DirectoryTree->setObjectName(QStringLiteral("DirectoryListBox1"));
    SelectedPathCaption->setObjectName(QStringLiteral("Label3"));
    SelectedPathLabel->setObjectName(QStringLiteral("SelectedPathLabel"));
    ServerAddressLabel->setObjectName(QStringLiteral("ServerAddressLabel"));
    ServerAddressEdit->setObjectName(QStringLiteral("ServerAddressEdit"));
    ServerAddressEdit->setPlaceholderText(QStringLiteral("postgresql://user@host:5432/practice"));
    ServerAddressEdit->setClearButtonEnabled(true);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* radios = new QHBoxLayout(UserTypeGroup);
    int id = 0;
    for (QRadioButton* button : { StandAloneBtn, ClientBtn, ServerBtn }) {
        m_types->addButton(button, id++);
        radios->addWidget(button);
    }

    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QStringLiteral("/"));
    DirectoryTree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        DirectoryTree->hideColumn(column);
    DirectoryTree->header()->hide();
    DirectoryTree->setMinimumSize(380, 220);
    SelectedPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = SelectedPathLabel->font();
    bold.setBold(true);
    SelectedPathLabel->setFont(bold);
    SelectedPathLabel->setWordWrap(true);
    OKBtn->setEnabled(false);
    OKBtn->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(DriveLabel, 0, 0);
    grid->addWidget(DriveCombo, 0, 1);
    grid->addWidget(PathLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(DirectoryTree, 1, 1);
    grid->addWidget(SelectedPathCaption, 2, 0, Qt::AlignTop);
    grid->addWidget(SelectedPathLabel, 2, 1);
    grid->addWidget(ServerAddressLabel, 3, 0);
    grid->addWidget(ServerAddressEdit, 3, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(UserTypeGroup);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    fillDrives();
    connect(m_types, &QButtonGroup::idClicked, this,
        [this](int type) { setChoice(static_cast<MultiUserType>(type)); });
    connect(DriveCombo, &QComboBox::currentIndexChanged, this, &TServerPathForm::driveChanged);
    connect(DirectoryTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& index) { selectDirectory(m_model->filePath(index)); });
    // The directories are read in the background: show the selection once its folder is in.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] {
        DirectoryTree->scrollTo(DirectoryTree->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(ServerAddressEdit, &QLineEdit::textEdited, this, &TServerPathForm::enterServerAddress);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    setChoice(current);
    if (db::ConnectionProfile::isServerLocation(directory)) {
        selectDirectory(QDir::homePath());
        ServerAddressEdit->setText(directory);
        enterServerAddress(directory);
    } else {
        selectDirectory(directory.isEmpty() ? QDir::homePath() : directory);
    }
    widgets::translateByMessages(*this);
}

void TServerPathForm::fillDrives()
{
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        if (isDataVolume(volume))
            DriveCombo->addItem(volume.rootPath() + QStringLiteral("  [")
                    + QString::fromUtf8(volume.fileSystemType()) + QLatin1Char(']'),
                volume.rootPath());
    }
}

void TServerPathForm::setChoice(MultiUserType type)
{
    m_choice = type;
    if (QAbstractButton* button = m_types->button(static_cast<int>(type)))
        button->setChecked(true);
    typeChanged();
}

void TServerPathForm::typeChanged()
{
    const TypeTexts& texts = kTypeTexts[static_cast<int>(m_choice)];
    DriveLabel->setText(platform::MessageTexts::program().Message(QString::fromLatin1(texts.drive)));
    PathLabel->setText(platform::MessageTexts::program().Message(QString::fromLatin1(texts.path)));
    directoryChanged();
}

void TServerPathForm::driveChanged()
{
    const QString root = DriveCombo->currentData().toString();
    if (!root.isEmpty() && !m_selected.startsWith(root))
        selectDirectory(root);
}

void TServerPathForm::enterServerAddress(const QString& address)
{
    const QString typed = address.trimmed();
    if (typed.isEmpty()) {
        selectDirectory(m_directory);
        return;
    }
    m_selected = typed;
    SelectedPathLabel->setText(typed);
    bool valid = db::ConnectionProfile::isServerLocation(typed);
    if (valid) {
        try {
            db::ConnectionProfile::fromLocation(typed);
        } catch (const db::DatabaseError& e) {
            SelectedPathLabel->setText(e.message());
            valid = false;
        }
    }
    // Whether the server holds a practice is for the start to find out: it names the server then.
    OKBtn->setEnabled(valid);
}

void TServerPathForm::selectDirectory(const QString& directory)
{
    if (!ServerAddressEdit->text().isEmpty()) {
        const QSignalBlocker quiet(ServerAddressEdit);
        ServerAddressEdit->clear();
    }
    m_selected = QDir::cleanPath(directory);
    m_directory = m_selected;
    const QModelIndex index = m_model->index(m_selected);
    if (index.isValid() && DirectoryTree->currentIndex() != index) {
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            DirectoryTree->expand(parent);
        DirectoryTree->setCurrentIndex(index);
        DirectoryTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    const QString root = QStorageInfo(m_selected).rootPath();
    const int drive = DriveCombo->findData(root);
    if (drive >= 0 && DriveCombo->currentIndex() != drive) {
        const QSignalBlocker quiet(DriveCombo);
        DriveCombo->setCurrentIndex(drive);
    }
    directoryChanged();
}

void TServerPathForm::directoryChanged()
{
    SelectedPathLabel->setText(m_selected);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ours = holdsOurDatabase(m_selected);
    const bool suits = driveSuits(m_choice, driveType(m_selected));
    QApplication::restoreOverrideCursor();
    OKBtn->setEnabled(ours && suits);
}

std::optional<DataPathChoice> TServerPathForm::choose(MultiUserType current, const QString& directory)
{
    TServerPathForm dialog(current, directory);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return DataPathChoice { dialog.choice(), dialog.selectedDirectory() };
}

} // namespace app

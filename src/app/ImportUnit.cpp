#include "app/ImportUnit.h"

#include "import/ParadoxImport.h"
#include "platform/MessageService.h"
#include "widgets/Language.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

TImportForm::TImportForm(QWidget* parent)
    : QDialog(parent)
    , OldDirLabel(new QLabel(QStringLiteral("Data directory of the old installation:"), this))
    , OldDirEdit(new QLineEdit(this))
    , OldDirBtn(new QPushButton(QStringLiteral("Browse…"), this))
    , NewDirLabel(new QLabel(QStringLiteral("New data directory (empty):"), this))
    , NewDirEdit(new QLineEdit(this))
    , NewDirBtn(new QPushButton(QStringLiteral("Browse…"), this))
    , KeepGoingChk(new QCheckBox(QStringLiteral("Import the other tables when some cannot be read"), this))
    , StatusLabel(new QLabel(this))
    , ProgressBar(new QProgressBar(this))
    , ReportMemo(new QPlainTextEdit(this))
    , ImportBtn(new QPushButton(QStringLiteral("Import"), this))
    , CloseBtn(new QPushButton(QStringLiteral("Close"), this))
    , Lang(new widgets::TLanguage(this,
          { QStringLiteral("ImportForm.Caption"), QStringLiteral("ImportForm.OldDirLabel.Caption"),
              QStringLiteral("ImportForm.OldDirBtn.Caption"),
              QStringLiteral("ImportForm.NewDirLabel.Caption"),
              QStringLiteral("ImportForm.NewDirBtn.Caption"),
              QStringLiteral("ImportForm.KeepGoingChk.Caption"),
              QStringLiteral("ImportForm.ImportBtn.Caption"),
              QStringLiteral("ImportForm.CloseBtn.Caption") }))
{
    setObjectName(QStringLiteral("ImportForm"));
    setWindowTitle(QStringLiteral("Import old data"));
    OldDirLabel->setObjectName(QStringLiteral("OldDirLabel"));
    OldDirEdit->setObjectName(QStringLiteral("OldDirEdit"));
    OldDirBtn->setObjectName(QStringLiteral("OldDirBtn"));
    NewDirLabel->setObjectName(QStringLiteral("NewDirLabel"));
    NewDirEdit->setObjectName(QStringLiteral("NewDirEdit"));
    NewDirBtn->setObjectName(QStringLiteral("NewDirBtn"));
    KeepGoingChk->setObjectName(QStringLiteral("KeepGoingChk"));
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ReportMemo->setObjectName(QStringLiteral("ReportMemo"));
    ImportBtn->setObjectName(QStringLiteral("ImportBtn"));
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));

    ProgressBar->setRange(0, 1000);
    ProgressBar->setValue(0);
    ReportMemo->setReadOnly(true);
    ReportMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ReportMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ImportBtn->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(OldDirLabel, 0, 0, 1, 2);
    grid->addWidget(OldDirEdit, 1, 0);
    grid->addWidget(OldDirBtn, 1, 1);
    grid->addWidget(NewDirLabel, 2, 0, 1, 2);
    grid->addWidget(NewDirEdit, 3, 0);
    grid->addWidget(NewDirBtn, 3, 1);
    grid->addWidget(KeepGoingChk, 4, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ImportBtn, QDialogButtonBox::ActionRole);
    buttons->addButton(CloseBtn, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(StatusLabel);
    layout->addWidget(ProgressBar);
    layout->addWidget(ReportMemo, 1);
    layout->addWidget(buttons);
    resize(640, 460);

    connect(OldDirBtn, &QPushButton::clicked, this, [this] { chooseDirectory(OldDirEdit); });
    connect(NewDirBtn, &QPushButton::clicked, this, [this] { chooseDirectory(NewDirEdit); });
    connect(ImportBtn, &QPushButton::clicked, this, [this] { ImportBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, &TImportForm::reject);
}

void TImportForm::reject()
{
    if (!m_running)
        QDialog::reject();
}

void TImportForm::showEvent(QShowEvent* event)
{
    Lang->Translate();
    QDialog::showEvent(event);
}

void TImportForm::chooseDirectory(QLineEdit* edit)
{
    const QString chosen = QFileDialog::getExistingDirectory(
        this, Lang->Message(QStringLiteral("Choose a folder")), edit->text());
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

bool TImportForm::ImportBtnClick()
{
    if (OldDirEdit->text().trimmed().isEmpty() || NewDirEdit->text().trimmed().isEmpty()) {
        platform::showWarning(
            Lang->Message(QStringLiteral("Choose the old data directory and an empty new one.")));
        return false;
    }
    m_running = true;
    for (QWidget* w : std::initializer_list<QWidget*> {
             OldDirEdit, OldDirBtn, NewDirEdit, NewDirBtn, KeepGoingChk, ImportBtn, CloseBtn })
        w->setEnabled(false);
    ReportMemo->clear();
    import::ImportOptions options { OldDirEdit->text().trimmed(), NewDirEdit->text().trimmed(),
        KeepGoingChk->isChecked(),
        [this](const import::ImportProgress& progress) {
            using Phase = import::ImportProgress::Phase;
    if (progress.phase == Phase::Done)
        StatusLabel->setText(Lang->Message(QStringLiteral("Done")));
    else
        StatusLabel->setText(Lang->Message(progress.phase == Phase::Reading ? QStringLiteral("Reading %1")
                                                                            : QStringLiteral("Writing %1"))
                                 .arg(progress.what));
    ProgressBar->setValue(progress.total > 0 ? int(progress.done * 1000 / progress.total) : 0);
    // The import runs here, in the window's thread: let the window paint meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
}; // namespace app
const import::ImportReport report = import::importParadox(options);
ReportMemo->setPlainText(report.text());
StatusLabel->setText(report.written ? Lang->Message(QStringLiteral("The import is complete."))
                                    : Lang->Message(QStringLiteral("Nothing was imported.")));
ProgressBar->setValue(report.written ? 1000 : 0);
for (QWidget* w : std::initializer_list<QWidget*> {
         OldDirEdit, OldDirBtn, NewDirEdit, NewDirBtn, KeepGoingChk, ImportBtn, CloseBtn })
    w->setEnabled(true);
m_running = false;
return report.written;
}

} // namespace app

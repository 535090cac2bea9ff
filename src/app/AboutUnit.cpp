#include "app/AboutUnit.h"
#include "db/FieldFormat.h"
#include "platform/MessageTexts.h"
#include "widgets/Language.h"

#include "platform/Directories.h"
#include "platform/Session.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent)
    , ProgramIcon(new QLabel(this))
    , ProductName(new QLabel(this))
    , Version(new QLabel(this))
    , FileDate(new QLabel(this))
    , OKButton(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProductName->setObjectName(QStringLiteral("ProductName"));
    Version->setObjectName(QStringLiteral("Version"));
    FileDate->setObjectName(QStringLiteral("FileDate"));
    OKButton->setObjectName(QStringLiteral("OKButton"));

    const QString picture = platform::programFile(QStringLiteral("Prog.bmp"));
    if (QFile::exists(picture)) {
        ProgramIcon->setPixmap(QPixmap(picture));
    } else {
        ProgramIcon->setFixedSize(0, 0);
    }
    QFont big = ProductName->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    ProductName->setFont(big);
    ProductName->setText(QStringLiteral("Quarn ") + platform::session().editionName());

    const QFileInfo program(QCoreApplication::applicationFilePath());
    Version->setText(platform::MessageTexts::program().Message(QStringLiteral("Version")) + u' '
        + QCoreApplication::applicationVersion());
    FileDate->setText(db::fieldformat::format(program.lastModified(), db::FieldType::DateTime, {}));

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(8);
    grid->addWidget(ProgramIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(FileDate, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    widgets::translateByMessages(*this);
}

} // namespace app

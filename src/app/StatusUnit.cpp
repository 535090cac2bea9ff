#include "app/StatusUnit.h"
#include "widgets/Language.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

TStatusFrm::TStatusFrm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , StatusLabel(new QLabel(QStringLiteral("Αρχικοποίηση δεδομένων"), this))
    , ProgressBar(new QProgressBar(this))
    , ProgressLabel(new QLabel(this))
    , CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("StatusFrm"));
    setWindowTitle(QStringLiteral("Status"));
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->hide(); // the start cannot be interrupted half-way
    QFont bold = StatusLabel->font();
    bold.setBold(true);
    StatusLabel->setFont(bold);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressLabel->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addWidget(StatusLabel);
    layout->addWidget(ProgressBar);
    layout->addWidget(ProgressLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    setFixedWidth(360);
    setProgress(0);
    widgets::translateByMessages(*this);
}

void TStatusFrm::setProgress(int percent)
{
    ProgressBar->setValue(percent);
    ProgressLabel->setText(QString::asprintf("%d/100", percent));
    if (isVisible()) {
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

int TStatusFrm::progress() const
{
    return ProgressBar->value();
}

} // namespace app

#include "app/SplashUnit.h"
#include "platform/MessageTexts.h"
#include "widgets/Language.h"

#include "clinical/ArtworkFiles.h"
#include "platform/Directories.h"

#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace app {
namespace {

// A picture of the program directory, or nothing when the artwork was not built.
QPixmap programPicture(const QString& fileName)
{
    const QString path = platform::programFile(fileName);
    return QFile::exists(path) ? QPixmap(path) : QPixmap();
}

} // namespace

QString TSplashForm::captionOf(platform::Edition edition)
{
    return edition == platform::Edition::Medical ? QStringLiteral("Medical Practice Management Software")
                                                 : QStringLiteral("Dental Practice Management Software");
}

TSplashForm::TSplashForm(platform::Edition edition, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , TopImage(new QLabel)
    , LogoImage(new QLabel)
    , CaptionLabel(new QLabel)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(kWidth, kHeight);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(0x1f, 0x3a, 0x68));
    panel->setPalette(white);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    TopImage->setObjectName(QStringLiteral("TopImage"));
    TopImage->setAlignment(Qt::AlignCenter);
    const QPixmap banner = programPicture(clinical::artwork::splashBanner());
    if (!banner.isNull())
        TopImage->setPixmap(banner.scaledToWidth(kWidth - 8, Qt::SmoothTransformation));

    const bool medical = edition == platform::Edition::Medical;
    LogoImage->setObjectName(QStringLiteral("LogoImage"));
    LogoImage->setFixedSize(clinical::artwork::LogoWidth, clinical::artwork::LogoHeight);
    LogoImage->setScaledContents(true);
    LogoImage->setAlignment(Qt::AlignCenter);
    const QPixmap logo
        = programPicture(medical ? clinical::artwork::medicalLogo() : clinical::artwork::dentalLogo());
    if (logo.isNull()) {
        // Without the artwork the edition's name stands in for its logo.
        LogoImage->setScaledContents(false);
        QFont big = LogoImage->font();
        big.setPixelSize(44);
        big.setBold(true);
        LogoImage->setFont(big);
        LogoImage->setText(platform::editionName(edition));
    } else {
        LogoImage->setPixmap(logo);
    }

    CaptionLabel->setObjectName(QStringLiteral("CaptionLabel"));
    CaptionLabel->setAlignment(Qt::AlignCenter);
    QFont caption(QStringLiteral("Tahoma"));
    caption.setPixelSize(19);
    caption.setBold(true);
    CaptionLabel->setFont(caption);
    CaptionLabel->setText(captionOf(edition));

    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(4, 4, 4, 12);
    inner->addWidget(TopImage);
    inner->addStretch(1);
    inner->addWidget(LogoImage, 0, Qt::AlignHCenter);
    inner->addSpacing(10);
    inner->addWidget(CaptionLabel);
    inner->addStretch(1);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    widgets::translateByMessages(*this);
}

} // namespace app

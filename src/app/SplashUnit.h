#pragma once

#include "platform/Settings.h"
#include "widgets/Forward.h"

#include <QWidget>

namespace app {

// The borderless window shown while the program starts: the fixed banner, the logo and the
// caption of the edition.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 459;
    static constexpr int kHeight = 299;

    explicit TSplashForm(platform::Edition edition, QWidget* parent = nullptr);

    QLabel* TopImage;
    QLabel* LogoImage;
    QLabel* CaptionLabel;

    // "Dental Practice Management Software" or "Medical Practice Management Software".
    static QString captionOf(platform::Edition edition);
};

} // namespace app

#include "app/ImagesTour.h"

#include "app/DataModuleBinding.h"
#include "app/MainUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "images/ImagesUnit.h"
#include "images/SlideShowUnit.h"
#include "platform/Session.h"

#include <QMap>
#include <QTabWidget>

namespace app {

void tourImageWindows(const QString& dataDir, const std::function<void(QWidget&, const QString& name)>& take)
{
    std::unique_ptr<data::TDmForm> dm
        = data::TDmForm::connect({ .name = QStringLiteral("images-tour"), .dataDirectory = dataDir });
    dm->openAtStart(platform::session().settings());
    TMainForm main(platform::session().edition);
    bindMainWindow(main, *dm);
    db::Dataset& patients = *dm->patients().PatientsTable;
    db::Dataset& sessions = *dm->clinical().SessionsTable;
    db::Dataset& photos = *dm->clinical().PhotosTable;
    // The demo files its pictures with the first patients by number.
    QVariant chosen;
    int most = 0;
    for (int id = 1; id <= 60; ++id) {
        if (!patients.locate(QStringLiteral("PatientID"), id))
            continue;
        sessions.locate(QStringLiteral("SessionID"), patients.value(u"TherapySessionID"));
        if (photos.recordCount() > most) {
            most = photos.recordCount();
            chosen = id;
        }
    }
    if (!chosen.isNull() && patients.locate(QStringLiteral("PatientID"), chosen))
        sessions.locate(QStringLiteral("SessionID"), patients.value(u"TherapySessionID"));
    QMap<int, int> perTooth;
    const int toothColumn = photos.field(u"ToothNumber").index();
    for (int r = 0; r < photos.recordCount(); ++r)
        ++perTooth[photos.rowValue(r, toothColumn).toInt()];
    int tooth = 11;
    for (auto it = perTooth.cbegin(); it != perTooth.cend(); ++it) {
        if (it.value() > perTooth.value(tooth))
            tooth = it.key();
    }
    {
        images::TImagesForm form(*dm);
        form.resize(760, 520);
        form.show();
        form.PageControl->setCurrentIndex(images::TImagesForm::ListTab);
        photos.first();
        take(form, QStringLiteral("ImagesForm_List"));
        form.PageControl->setCurrentIndex(images::TImagesForm::ThumbnailsTab);
        form.ThumbnailClick(1);
        take(form, QStringLiteral("ImagesForm_Thumbnails"));
    }
    {
        images::TSlideShowForm slides(*dm);
        slides.setTooth(tooth);
        slides.show();
        slides.CellClick(0);
        take(slides, QStringLiteral("SlideShowForm"));
        slides.reject();
    }
    dm->ActiveSrc->setDataset(nullptr);
    main.setActiveSrc(nullptr);
}

} // namespace app

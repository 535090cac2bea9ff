#include "images/ImagesTour.h"
#include "widgets/TourPages.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "images/ImagesUnit.h"
#include "images/SlideShowUnit.h"
#include "platform/Session.h"

#include <QMap>
#include <QTabWidget>

namespace images {

void tourImageWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    db::Dataset& patients = *dm.patients().PatientsTable;
    db::Dataset& sessions = *dm.clinical().SessionsTable;
    db::Dataset& photos = *dm.clinical().PhotosTable;
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
        images::TImagesForm form(dm);
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
        images::TSlideShowForm slides(dm);
        slides.setTooth(tooth);
        slides.show();
        slides.CellClick(0);
        take(slides, QStringLiteral("SlideShowForm"));
        slides.reject();
    }
    dm.ActiveSrc->setDataset(nullptr);
}

void addImageTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the image windows"), &tourImageWindows);
}

} // namespace images

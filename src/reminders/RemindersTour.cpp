#include "reminders/RemindersTour.h"

#include "data/DmUnit.h"
#include "reminders/PhonesUnit.h"
#include "reminders/RemindersUnit.h"
#include "reminders/ShowReminderUnit.h"

#include <QTabWidget>

namespace reminders {
namespace {

void tourReminderWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    {
        TRemindersForm reminders(dm);
        take(reminders, QStringLiteral("RemindersForm"));
        reminders.close();
    }
    {
        TPhonesForm phones(dm, {});
        take(phones, QStringLiteral("PhonesForm"));
        phones.close();
    }
    {
        TShowReminderForm day(dm, QDate::currentDate());
        day.gather();
        const struct {
            QWidget* page;
            const char* name;
        } pages[] = { { day.RemindersPage, "ShowReminderForm_Reminders" },
            { day.RecallsPage, "ShowReminderForm_Recalls" } };
        for (const auto& page : pages) {
            const int index = day.Pages->indexOf(page.page);
            day.Pages->setTabVisible(index, true);
            day.Pages->setCurrentIndex(index);
            take(day, QString::fromLatin1(page.name));
        }
    }
}

} // namespace

void addReminderTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the reminders"), &tourReminderWindows);
}

} // namespace reminders

#include "app/ListsTour.h"

#include "app/DataModuleBinding.h"
#include "app/MainUnit.h"
#include "app/TourShots.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "lists/AdditionalUnit.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionsUnit.h"
#include "reminders/PhonesUnit.h"
#include "reminders/RemindersUnit.h"
#include "reminders/ShowReminderUnit.h"

#include <QTabBar>
#include <QTabWidget>

namespace app {

QStringList tourListWindows(const QString& outDir, const QString& dataDirectory)
{
    QStringList written;
    const auto take = [&](QWidget& window, const QString& name) { saveShot(window, outDir, name, written); };
    const platform::Settings settings = platform::session().settings();
    auto dm
        = data::TDmForm::connect({ .name = QStringLiteral("tour-lists"), .dataDirectory = dataDirectory });
    dm->openAtStart(settings);
    // The main window lends the record commands the windows' buttons trigger.
    TMainForm main(platform::session().edition);
    bindMainWindow(main, *dm);

    {
        reminders::TRemindersForm reminders(*dm);
        take(reminders, QStringLiteral("RemindersForm"));
        reminders.close();
    }
    {
        reminders::TPhonesForm phones(*dm, {});
        take(phones, QStringLiteral("PhonesForm"));
        phones.close();
    }
    {
        reminders::TShowReminderForm day(*dm, QDate::currentDate());
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
    {
        lists::TAdditionalForm additional(*dm, true);
        const struct {
            lists::ListTab tab;
            const char* name;
        } tabs[] = { { lists::ListTab::Cities, "Cities" },
            { lists::ListTab::InsurCompanies, "InsurCompanies" }, { lists::ListTab::NameDays, "NameDays" },
            { lists::ListTab::PhysicalSystems, "PhysicalSystems" },
            { lists::ListTab::AppointmentTypes, "AppointmentTypes" },
            { lists::ListTab::Categories, "Categories" } };
        for (const auto& tab : tabs) {
            additional.selectTab(tab.tab);
            take(additional, QStringLiteral("AdditionalForm_%1").arg(QLatin1String(tab.name)));
        }
        additional.hide();
    }
    {
        prescriptions::TMedicinesForm medicines(*dm);
        take(medicines, QStringLiteral("MedicinesForm"));
        medicines.hide();
    }
    {
        // A patient with a prescription of several lines.
        db::Dataset& patients = *dm->patients().PatientsTable;
        prescriptions::TPrescriptionsForm form(*dm);
        form.show();
        for (patients.first(); !patients.eof(); patients.next()) {
            if (dm->patients().PrescrItemsTable->recordCount() > 1)
                break;
        }
        take(form, QStringLiteral("PrescriptionsForm"));
        form.close();
    }
    return written;
}

} // namespace app

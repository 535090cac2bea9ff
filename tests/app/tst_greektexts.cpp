// Every English caption of the windows built so far has its Greek line in the shipped language
// file: the windows are built over a demo practice with the language file taken away, and each
// path their translation component lists is looked up in resources/Orvane.lng.
#include "app/DataModuleBinding.h"
#include "app/LoginUnit.h"
#include "app/MainUnit.h"
#include "clinical/DentalChartUnit.h"
#include "clinical/EndoMeasureUnit.h"
#include "clinical/EndoNotesUnit.h"
#include "clinical/HistoryUnit.h"
#include "clinical/OperationsEntryUnit.h"
#include "clinical/OperationsUnit.h"
#include "clinical/PerioColorsUnit.h"
#include "clinical/PerioUnit.h"
#include "clinical/ProgNotesUnit.h"
#include "clinical/SelectBitmapUnit.h"
#include "clinical/SymbolArt.h"
#include "clinical/ToothColorUnit.h"
#include "clinical/ToothNotesUnit.h"
#include "clinical/UsualAnswersUnit.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "images/ImagesUnit.h"
#include "images/SlideShowUnit.h"
#include "lists/AdditionalUnit.h"
#include "patients/AddProtectedMembersUnit.h"
#include "patients/FamilyUnit.h"
#include "patients/PatBookUnit.h"
#include "patients/PatientUnit.h"
#include "patients/SearchDlgUnit.h"
#include "patients/SearchPatUnit.h"
#include "patients/SQLEntryUnit.h"
#include "patients/SQLFieldsEditUnit.h"
#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "platform/Session.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionsUnit.h"
#include "reminders/PhonesUnit.h"
#include "reminders/RemindersUnit.h"
#include "reminders/ShowReminderUnit.h"
#include "widgets/CaptionLines.h"
#include "widgets/ToolBarCustomizer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

// The object a path names among the windows (a window reached through another one, as the
// chart through the main window, is also found on its own), and the property name.
QObject* resolve(const QList<QWidget*>& windows, const QString& path, QString* property)
{
    QStringList names = path.trimmed().split(u'.');
    *property = names.takeLast();
    QObject* current = nullptr;
    for (const QString& name : std::as_const(names)) {
        QObject* found = current ? captiontest::findNamed(current, name) : nullptr;
        for (qsizetype i = 0; !found && i < windows.size(); ++i)
            found = captiontest::findNamed(windows[i], name);
        if (!found)
            return nullptr;
        current = found;
    }
    return current;
}

} // namespace

class TestGreekTexts : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

private Q_SLOTS:
    void everyEnglishCaptionHasAGreekLine()
    {
        // The program directory as built, without its language file: the windows keep their
        // designed texts.
        const QDir program(platform::programDir());
        const QString bare = m_root.filePath(QStringLiteral("program"));
        QDir().mkpath(bare);
        for (const QString& entry : program.entryList(QDir::Files)) {
            if (entry.compare(QStringLiteral("Orvane.lng"), Qt::CaseInsensitive) != 0)
                QFile::link(program.filePath(entry), QDir(bare).filePath(entry));
        }
        qputenv("ORVANE_PROGRAM_DIR", bare.toLocal8Bit());
        platform::setConfigDirOverride(m_root.filePath(QStringLiteral("config")));
        const QString dataDir = m_root.filePath(QStringLiteral("Data"));
        data::createDemoDirectory(dataDir, { .patients = 12, .today = QDate(2026, 12, 7) });
        platform::session().dataDirectory = dataDir;
        auto dm = data::TDmForm::connect({ .name = QStringLiteral("greek"), .dataDirectory = dataDir });
        dm->openAtStart(platform::session().settings());

        app::TMainForm main(platform::Edition::Dental);
        app::bindMainWindow(main, *dm);
        std::shared_ptr<const clinical::SymbolArt> art(clinical::SymbolArt::fromProgramDir());
        app::TLoginForm login;
        patients::TPatientForm patientFile(*dm);
        patients::TAddProtectedMembersForm members(*dm, patientFile.familyRoles());
        patients::TFamilyForm family(*dm);
        patients::TPatBookFrm book(*dm);
        patients::TSearchDlg search;
        patients::TSQLEntryForm restrictions;
        patients::TSQLFieldsEditForm fields({}, {});
        patients::TSearchPatForm simpleSearch(*dm->patients().PatientsTable);
        clinical::TDentalChartForm chart(*dm);
        clinical::TOperationsEntryForm catalogue(*dm, nullptr, art);
        clinical::TOperationsForm picker(*dm, art.get());
        clinical::THistoryForm history(*dm);
        clinical::TSelectBitmapForm chooser(*art, true);
        clinical::TPerioForm perio(*dm);
        clinical::TPerioColorsForm perioColors(perio.colors());
        clinical::TEndoMeasureForm endo(*dm, 0);
        clinical::TEndoNotesFrm canalNotes(dm->clinical().EndoSrc, QStringLiteral("EggysGlNotes"));
        clinical::TToothNotesForm toothNotes(*dm);
        clinical::TToothColorForm toothColour(*dm);
        clinical::TProgNotesForm progNotes(*dm);
        clinical::TDefaultAnswersFrm answers(*dm);
        reminders::TShowReminderForm dayReminders(*dm, QDate::currentDate());
        reminders::TRemindersForm remindersList(*dm);
        reminders::TPhonesForm phones(*dm, {});
        lists::TAdditionalForm additional(*dm, true);
        prescriptions::TMedicinesForm medicines(*dm);
        prescriptions::TPrescriptionsForm prescriptionsForm(*dm);
        images::TImagesForm imagesForm(*dm);
        images::TSlideShowForm slideShow(*dm);
        QToolBar bar;
        const widgets::ToolBarItems barItems(&bar, {});
        widgets::TToolBarCustomizeForm customize(barItems);
        const QList<QWidget*> windows { &main, &login, &patientFile, &members, &family, &book, &search,
            &restrictions, &fields, &simpleSearch, &chart, &catalogue, &picker, &history, &chooser, &perio, &perioColors,
            &endo, &canalNotes, &toothNotes, &toothColour, &progNotes, &answers, &dayReminders, &remindersList, &phones, &additional,
            &medicines, &prescriptionsForm, &imagesForm, &slideShow, &customize };

        const captiontest::Captions captions = captiontest::captionsWithoutALine(
            windows, [&windows](QWidget*, const QString& path, QString* property) {
                return resolve(windows, path, property);
            });
        QVERIFY2(captions.unresolved.isEmpty(), qPrintable(captions.unresolved.join(u'\n')));
        QVERIFY(captions.checked > 150);
        QVERIFY2(captions.missing.isEmpty(), qPrintable(captions.missing.join(u'\n')));
    }
};

QTEST_MAIN(TestGreekTexts)
#include "tst_greektexts.moc"

#include "clinical/ClinicalTour.h"
#include "widgets/TourPages.h"

#include "clinical/EndoMeasureUnit.h"
#include "clinical/ProgNotesUnit.h"
#include "clinical/ToothColorUnit.h"
#include "clinical/ToothNotesUnit.h"
#include "clinical/UsualAnswersUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/Session.h"

namespace clinical {
namespace {

// The first demo patient whose current session has the measurements of every canal of a
// lower molar.
void findEndoPatient(data::TDmForm& dm)
{
    db::Dataset& patients = *dm.patients().PatientsTable;
    db::Dataset& endo = *dm.clinical().EndoTable;
    if (!endo.isActive())
        dm.OpenTable(endo);
    const int tooth = endo.field(u"ToothNum").index();
    const int lastCanal = endo.field(u"MikosApoPar").index();
    for (patients.first(); !patients.eof(); patients.next()) {
        const QVariant session = patients.value(u"TherapySessionID");
        if (dm.clinical().SessionsTable->value(u"SessionID") != session)
            dm.clinical().SessionsTable->locate(QStringLiteral("SessionID"), session);
        for (int r = 0; r < endo.recordCount(); ++r) {
            if (endo.rowValue(r, tooth).toInt() == 36 && !endo.rowValue(r, lastCanal).isNull())
                return;
        }
    }
    patients.first();
}

// A few stock answers for the picture when there are none; taken away again afterwards.
const std::pair<const char*, const char*> kAnswers[] = {
    { "Φυσιολογικά ούλα", "<p>Ούλα <b>ρόδινα</b>, χωρίς αιμορραγία στην ανίχνευση.</p>" },
    { "Τερηδόνα μασητικής",
        "<p><b>Τερηδόνα</b> μασητικής επιφάνειας, <i>χωρίς</i> συμπτώματα πολφίτιδας.</p>" },
    { "Οδηγίες μετά από εξαγωγή", "<p>Γάζα για 30 λεπτά. <u>Όχι</u> ζεστά ροφήματα σήμερα.</p>" },
};

} // namespace

void tourNotesWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    if (!dm.lists().DentistsTable->isEmpty())
        dm.setDefaultDentist(
            dm.lists().DentistsTable->value(u"DocID").toInt(), platform::session().settings());
    findEndoPatient(dm);
    const QVariant session = dm.clinical().SessionsTable->value(u"SessionID");

    for (const auto& [tooth, name] :
        { std::pair { 36, "EndoMeasureForm-Molar" }, std::pair { 11, "EndoMeasureForm-Incisor" } }) {
        clinical::TEndoMeasureForm endo(dm, tooth);
        take(endo, QLatin1String(name));
        endo.reject();
    }
    {
        clinical::TToothNotesForm notes(dm);
        notes.prepare(session, 36);
        take(notes, QStringLiteral("ToothNotesForm"));
        notes.reject();
        clinical::TToothColorForm colour(dm);
        colour.prepare(session, 21);
        take(colour, QStringLiteral("ToothColorForm"));
        colour.reject();
    }
    {
        clinical::TProgNotesForm notes(dm);
        notes.resize(900, 580);
        take(notes, QStringLiteral("ProgNotesForm"));
        notes.close();
    }
    {
        dm.clinical().loadUsualAnswers();
        db::Dataset& answers = *dm.clinical().UsualAnswersTbl;
        const bool lent = answers.isEmpty() && !answers.isReadOnly();
        if (lent) {
            for (const auto& [answerName, text] : kAnswers) {
                answers.append();
                answers.setValue(u"AnswerName", QString::fromUtf8(answerName));
                answers.setValue(u"AnswerMemo", QString::fromUtf8(text));
                answers.post();
            }
            answers.first();
        }
        clinical::TDefaultAnswersFrm window(dm);
        window.resize(760, 420);
        take(window, QStringLiteral("UsualAnswersForm"));
        window.close();
        while (lent && !answers.isEmpty())
            answers.remove();
    }
    dm.ActiveSrc->setDataset(nullptr);
}

} // namespace clinical

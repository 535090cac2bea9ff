// The demo practice's body systems and progress notes, tooth colours, and endodontic records
// with canal notes on a molar and an incisor of the current sessions.

#include "data/demo/DemoBuilder.h"

#include <array>

namespace data::demo {

namespace {

const char* const kSystems[]
    = { "Καρδιαγγειακό", "Αναπνευστικό", "Πεπτικό", "Νευρικό", "Ενδοκρινικό", "Στοματογναθικό" };

struct DemoNote {
    int system; // index into kSystems
    const char* brief;
    const char* findings;
    const char* therapy;
};

const DemoNote kNotes[] = {
    { 0, "Υπέρταση υπό αγωγή",
        "<p>Αναφέρει <b>αρτηριακή υπέρταση</b> υπό αγωγή με αμλοδιπίνη.</p><p>ΑΠ 140/90 στην έναρξη.</p>",
        "<p>Τοπική αναισθησία <i>χωρίς αδρεναλίνη</i>. Έλεγχος πίεσης πριν από κάθε συνεδρία.</p>" },
    { 5, "Πόνος στην κροταφογναθική",
        "<p>Πόνος στη <u>δεξιά κροταφογναθική</u> το πρωί, ήχος κλικ στη διάνοιξη.</p>",
        "<p><b>Νάρθηκας βρυγμού</b> νυκτός. Επανεκτίμηση σε 6 εβδομάδες.</p>" },
    { 1, "Άσθμα", "<p>Ήπιο βρογχικό άσθμα, χρησιμοποιεί εισπνεόμενο όταν χρειάζεται.</p>",
        "<p>Το εισπνεόμενο <b>διαθέσιμο</b> στη συνεδρία.</p>" },
    { 2, "Γαστροοισοφαγική παλινδρόμηση",
        "<p>Διαβρώσεις αδαμαντίνης στις υπερώιες επιφάνειες των άνω προσθίων.</p>",
        "<p>Παραπομπή σε γαστρεντερολόγο· φθόριο τοπικά.</p>" },
};

const std::array<const char*, 2> kGuides { "Vita Classical", "Vita 3D-Master" };
const std::array<const char*, 6> kShades { "A1", "A2", "A3", "B1", "B2", "C1" };

} // namespace

void DemoBuilder::clinicalNotes()
{
    QList<int> systems;
    for (const char* system : kSystems) {
        systems.append(m_w.take(QStringLiteral("PhysSystems")));
        m_w.insert(QStringLiteral("PhysSystems"),
            { { "PhysSystemID", systems.last() }, { "SystemDesc", text(system) } });
    }

    int withNotes = 0;
    for (const Patient& patient : std::as_const(m_patients)) {
        if (patient.sessions.isEmpty() || withNotes >= 12)
            continue;
        const Session& session = patient.sessions.last();
        const QDate date = session.start;
        // The first patients carry every kind of record, so that the windows have something to show.
        const int notes = withNotes < 3 ? 2 : between(0, 2);
        for (int n = 0; n < notes; ++n) {
            const DemoNote& note = kNotes[(withNotes + n) % std::size(kNotes)];
            m_w.insert(QStringLiteral("ProgNotes"),
                { { "ProgNoteID", m_w.take(QStringLiteral("ProgNotes")) }, { "PatientID", patient.id },
                    { "SessionID", session.id }, { "BriefDesc", text(note.brief) },
                    { "FmtdFindings", text(note.findings) }, { "FmtdTherapy", text(note.therapy) },
                    { "PhysSystemID", systems[note.system] }, { "NoteDate", date.addDays(n * 7) },
                    { "DocID", m_dentists[patient.dentist].id } });
        }
        if (withNotes < 3 || chance(40)) {
            m_w.insert(QStringLiteral("ToothColor"),
                { { "SessionID", session.id }, { "ToothNum", 21 }, { "PatientID", patient.id },
                    { "Chromatologio", text(pickFrom(kGuides)) }, { "Near", text(pickFrom(kShades)) },
                    { "Far", text(pickFrom(kShades)) }, { "Chewing", text(pickFrom(kShades)) },
                    { "Auchenic", text(pickFrom(kShades)) },
                    { "Notes", text("Ταίριασμα με τη στεφάνη του 11.") } });
        }
        if (withNotes < 2) {
            // A lower molar with all its canals, and an upper incisor with its one.
            m_w.insert(QStringLiteral("Endo"),
                { { "EndoID", m_w.take(QStringLiteral("Endo")) }, { "PatientID", patient.id },
                    { "SessionID", session.id }, { "Date", date }, { "ToothNum", 36 },
                    { "MikosEggysGl", 20.5 }, { "DievrEggysGl", 0.25 }, { "MikosEggysPar", 21.0 },
                    { "DievrEggysPar", 0.25 }, { "MikosYperoia", 19.5 }, { "DievrYperoia", 0.30 },
                    { "MikosApoGl", 20.0 }, { "DievrApoGl", 0.35 }, { "MikosApoPar", 21.5 },
                    { "DievrApoPar", 0.40 },
                    { "EggysParNotes", text("Στενός σωλήνας, προεύρυνση με Κ-ρίνη 10.") },
                    { "ApoGlNotes", text("Δεύτερος άπω σωλήνας.") },
                    { "Notes", text("Μηχανική επεξεργασία έως 30/.04.") } });
            m_w.insert(QStringLiteral("Endo"),
                { { "EndoID", m_w.take(QStringLiteral("Endo")) }, { "PatientID", patient.id },
                    { "SessionID", session.id }, { "Date", date }, { "ToothNum", 11 },
                    { "MikosEggysGl", 23.5 }, { "DievrEggysGl", 0.40 },
                    { "EggysGlNotes", text("Ακρορριζικό όριο με εντοπιστή.") },
                    { "Notes", text("Έμφραξη με γουταπέρκα.") } });
            m_w.insert(QStringLiteral("ToothNotes"),
                { { "PatientID", patient.id }, { "SessionID", session.id }, { "ToothNum", 36 },
                    { "Notes", text("Ενδοδοντική θεραπεία σε εξέλιξη.\n") } });
        }
        ++withNotes;
    }
}

} // namespace data::demo

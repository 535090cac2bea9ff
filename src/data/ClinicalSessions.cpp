// The session services the dental chart calls: ending the current session, opening the next
// one with the balance carried over, and taking over what the previous session leaves.

#include "data/DmUnit.h"
#include "data/Domain.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/MessageService.h"

#include <QCursor>
#include <QGuiApplication>

namespace data {
namespace {

const QString kSessionID = QStringLiteral("SessionID");

// The hourglass while a service runs, when there is a screen to show it on.
class WaitCursor {
public:
    WaitCursor()
        : m_shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown;
};

// A row of `source` appended to `target`, with the named fields copied.
void appendCopy(db::Dataset& target, const db::Dataset& source, const QStringList& fields)
{
    target.append();
    for (const QString& f : fields)
        target.setValue(f, source.value(f));
    target.post();
}

// What a new session's initial situation takes from each history row of the previous one. The
// operation comes first: its change rule would otherwise overwrite the copied prices.
const QStringList kCarriedHistory = {QStringLiteral("OperID"), QStringLiteral("Price"), QStringLiteral("PriceEURO"),
    QStringLiteral("ToothNum"), QStringLiteral("Date"), QStringLiteral("Discount"), QStringLiteral("Cost"), QStringLiteral("CostEURO"),
    QStringLiteral("RequireMaterial"), QStringLiteral("MaterialID"), QStringLiteral("RequireLab"), QStringLiteral("DentalLabID"),
    QStringLiteral("RequireColor"), QStringLiteral("Color"), QStringLiteral("Masitikes"), QStringLiteral("IOFld")};

} // namespace

double ClinicalArea::sessionCost(const QVariant& sessionId, TreatmentLevel level, bool euro) const
{
    QString sql = QStringLiteral("SELECT SUM(%1) FROM History WHERE (TherapySessionID = :session) AND (TreatmentLevel = :level) "
                                 "AND NOT (CostEURO IS NULL)")
                      .arg(euro ? QStringLiteral("CostEURO") : QStringLiteral("Cost"));
    if (platform::receiptsOnly())
        sql += QStringLiteral(" AND (IOFld = TRUE)");
    db::Query q(*Database, sql);
    q.bind(QStringLiteral("session"), sessionId).bind(QStringLiteral("level"), code(level));
    return q.scalar().toDouble();
}

SessionBalance ClinicalArea::sessionBalance(const QVariant& sessionId) const
{
    // Both sides of the session in one pass over its rows; a row without a direction is a
    // charge, as in the running balance.
    QString sql = QStringLiteral(
        "SELECT COALESCE(SUM(CASE WHEN Sign = -1 THEN -Credit ELSE Credit END), 0), "
        "COALESCE(SUM(CASE WHEN Sign = -1 THEN -CreditEURO ELSE CreditEURO END), 0) "
        "FROM PatEconomics WHERE SessionID = :session");
    if (platform::receiptsOnly())
        sql += QStringLiteral(" AND IOFld = TRUE");
    db::Query q(*Database, sql);
    q.bind(QStringLiteral("session"), sessionId).exec();
    if (!q.next())
        return {};
    return {q.value(0).toDouble(), q.value(1).toDouble()};
}

void ClinicalArea::EndSession()
{
    if (!SessionsTable->isActive() || SessionsTable->isEmpty())
        return;
    const WaitCursor wait;
    if (!SessionsTable->value(u"Completed").toBool()) {
        SessionsTable->edit();
        SessionsTable->setValue(u"Completed", true);
        SessionsTable->post();
    }
    patients().PatientsTable->edit();
    patients().PatientsTable->setValue(u"ActiveTherapySession", false);
    patients().PatientsTable->post();
}

bool ClinicalArea::NewSession()
{
    if (!SessionsTable->isActive() || SessionsTable->isEmpty() || !SessionsTable->value(u"Completed").toBool())
        return false;
    SessionBalance balance;
    {
        const WaitCursor wait;
        const int number = SessionsTable->value(u"SessionNum").toInt();
        const QVariant allTeeth = SessionsTable->value(u"ShowAllTeeth");
        balance = sessionBalance(SessionsTable->value(kSessionID));
        SessionsTable->append();
        SessionsTable->setValue(u"SessionNum", number + 1);
        SessionsTable->setValue(u"ShowAllTeeth", allTeeth);
        SessionsTable->post();
        const QVariant session = SessionsTable->value(kSessionID);
        patients().PatientsTable->edit();
        patients().PatientsTable->setValue(u"TherapySessionID", session);
        patients().PatientsTable->setValue(u"ActiveTherapySession", true);
        patients().PatientsTable->post();
        SessionsTable->locate(kSessionID, session); // the session the details follow
    }
    if (balance.local != 0 && balance.euro != 0)
        TransferBalance(balance);
    return true;
}

bool ClinicalArea::TransferBalance(const SessionBalance& balance)
{
    const double shown = dm().money().euroMode() ? balance.euro : balance.local;
    const QString text = message(QStringLiteral("The Patient")) + QLatin1Char(' ') + patients().PatientsTable->value(u"Name").toString()
        + QLatin1Char('\n') + message(QStringLiteral("has a balance of")) + QLatin1Char(' ') + dm().money().FormatMoney(shown)
        + QLatin1Char('.') + QLatin1Char('\n') + message(QStringLiteral("Do you want to transfer it?"));
    if (!platform::askYesNo(text, message(QStringLiteral("Transfer the Balance"))))
        return false;
    if (!finance().PatientEconomTable->isActive())
        OpenTable(*finance().PatientEconomTable);
    finance().PatientEconomTable->append();
    finance().PatientEconomTable->setValue(u"Sign", code(Sign::Payable));
    finance().PatientEconomTable->setValue(u"Credit", balance.local);
    finance().PatientEconomTable->setValue(u"CreditEURO", balance.euro);
    finance().PatientEconomTable->setValue(u"Description", message(QStringLiteral("Transfer of Balance")));
    finance().PatientEconomTable->post();
    return true;
}

void ClinicalArea::CarryOverSession(const QVariant& previousSessionId)
{
    const WaitCursor wait;
    supplies().suspendLabItemsRefresh();
    struct Resume {
        SuppliesArea* supplies;
        ~Resume() { supplies->resumeLabItemsRefresh(); }
    } resume{&supplies()};

    // Findings and implemented treatments become the new initial situation; unfinished plan
    // rows and discount lines stay behind.
    if (!HistPerPatTable->isActive())
        OpenTable(*HistPerPatTable);
    HistPerPatTable->refresh();
    QList<QVariantList> carried;
    for (HistPerPatTable->first(); !HistPerPatTable->eof(); HistPerPatTable->next()) {
        if (HistPerPatTable->value(u"TherapySessionID") != previousSessionId || holds(HistPerPatTable->value(u"TreatmentLevel"), TreatmentLevel::Plan)
            || HistPerPatTable->value(u"OperID").toInt() == -1)
            continue;
        QVariantList values;
        for (const QString& f : kCarriedHistory)
            values << HistPerPatTable->value(f);
        carried << values;
    }
    for (const QVariantList& values : std::as_const(carried)) {
        HistPerSessionTable->append();
        HistPerSessionTable->setValue(u"TreatmentLevel", code(TreatmentLevel::Initial));
        for (int i = 0; i < kCarriedHistory.size(); ++i)
            HistPerSessionTable->setValue(kCarriedHistory[i], values[i]);
        HistPerSessionTable->post();
    }

    const auto copyAll = [this](db::Dataset& query, const QVariantMap& params, db::Dataset& target, const QStringList& fields) {
        query.close();
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            query.setParam(it.key(), it.value());
        query.open();
        if (!target.isActive())
            OpenTable(target);
        for (query.first(); !query.eof(); query.next())
            appendCopy(target, query, fields);
        query.close();
    };
    const QVariantMap previous{{kSessionID, previousSessionId}};
    copyAll(*PrevToothNotesQry, previous, *ToothNotesTable, {QStringLiteral("ToothNum"), QStringLiteral("PatientID"), QStringLiteral("Notes")});
    copyAll(*PrevPhotosQry, previous, *PhotosTable,
        {QStringLiteral("PhotoName"), QStringLiteral("PatID"), QStringLiteral("Subject"), QStringLiteral("Category"), QStringLiteral("Remarks"),
            QStringLiteral("ToothNumber"), QStringLiteral("RecDate"), QStringLiteral("SaveDate")});
    copyAll(*PrevToothColorQry, previous, *ToothColorTable,
        {QStringLiteral("ToothNum"), QStringLiteral("PatientID"), QStringLiteral("Near"), QStringLiteral("Far"), QStringLiteral("Chewing"),
            QStringLiteral("Auchenic"), QStringLiteral("Notes"), QStringLiteral("Chromatologio")});
    // An endodontic record is its measurements: everything but its own number and session.
    QStringList endoFields;
    for (const db::FieldDef& f : EndoTable->tableDef().fields) {
        if (f.name != QLatin1String("EndoID") && f.name != kSessionID)
            endoFields << f.name;
    }
    copyAll(*PrevEndoQry, {{kSessionID, previousSessionId}, {QStringLiteral("PatientID"), patients().PatientsTable->value(u"PatientID")}}, *EndoTable,
        endoFields);
}

} // namespace data

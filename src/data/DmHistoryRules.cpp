// The record rules of the treatment history: a new row's defaults, its prices, the charge a
// level-2 row carries in the patient's (or the payer's) account, and the operation rule.

#include "data/DmUnit.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

#include <functional>

namespace data {
namespace {

const QString kOperID = QStringLiteral("OperID");
const QString kDiscount = QStringLiteral("Discount");
constexpr int kImplementation = 2;
constexpr int kDiscountLine = -1; // OperID of a row that is no treatment

double amount(const db::Dataset& ds, QStringView field)
{
    return ds.value(field).toDouble(); // empty counts as 0
}

void discountedCosts(db::Dataset& ds)
{
    const double keep = 1 - amount(ds, kDiscount) / 100;
    ds.setValue(u"Cost", keep * amount(ds, u"Price"));
    ds.setValue(u"CostEURO", keep * amount(ds, u"PriceEURO"));
}

} // namespace

void TDmForm::installHistoryRules()
{
    using std::bind_front;
    // Charges are found by the treatment row they belong to.
    PatEconomicsForFatherTable->setIndexName(QStringLiteral("HistoryID"));
    PatEconomicsForFatherTable->onNewRecord = [this](db::Dataset& ds) { ds.setValue(u"EconomID", NextID(QStringLiteral("LastPatEconom"))); };
    for (db::Dataset* history : {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3}) {
        history->onNewRecord = bind_front(&TDmForm::HistPerSessionTableNewRecord, this);
        history->beforeEdit = bind_front(&TDmForm::HistPerSessionTableBeforeEdit, this);
        history->beforePost = bind_front(&TDmForm::HistPerSessionTableBeforePost, this);
        history->beforeDelete = bind_front(&TDmForm::HistPerSessionTableBeforeDelete, this);
        QObject::connect(history, &db::Dataset::fieldChanged, this, [this, history](const QString& name) {
            if (name == kOperID)
                HistPerSessionTableOperIDChange(*history);
        });
    }
}

void TDmForm::HistPerSessionTableNewRecord(db::Dataset& DataSet)
{
    if (!requirePatient())
        throw db::Abort();
    DataSet.setValue(u"ID", NextID(QStringLiteral("LastHist")));
    DataSet.setValue(u"PatientID", PatientsTable->value(u"PatientID"));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"ToothNum", chartSelectedTooth ? chartSelectedTooth() : 0);
    const bool operation = OperationsTable->isActive() && !OperationsTable->isEmpty();
    if (operation)
        DataSet.setValue(kOperID, OperationsTable->value(kOperID));
    DataSet.setValue(kDiscount, PatientsTable->value(kDiscount));
    if (operation) {
        DataSet.setValue(u"RequireMaterial", OperationsTable->value(u"RequireMaterial"));
        DataSet.setValue(u"RequireLab", OperationsTable->value(u"RequireDentalLab"));
        DataSet.setValue(u"RequireColor", OperationsTable->value(u"RequireColor"));
        if (OperationsTable->value(u"RequireMaterial").toBool() && DentalMaterialsTable->isActive() && !DentalMaterialsTable->isEmpty())
            DataSet.setValue(u"MaterialID", DentalMaterialsTable->value(u"MaterialID"));
        // The initial situation records what was found, not lab work to order.
        if (OperationsTable->value(u"RequireDentalLab").toBool() && &DataSet != HistPerSessionTable && DentalLabTable->isActive()
            && !DentalLabTable->isEmpty())
            DataSet.setValue(u"DentalLabID", DentalLabTable->value(u"DentalLabID"));
    }
    DataSet.setValue(u"DentistID", m_defaultDentist);
    if (chartTreatmentLevel)
        DataSet.setValue(u"TreatmentLevel", chartTreatmentLevel());
    else if (platform::session().edition == platform::Edition::Medical)
        DataSet.setValue(u"TreatmentLevel", kImplementation);
    DataSet.setValue(u"Ordered", false);
    DataSet.setValue(u"IOFld", &DataSet != HistPerSessionTable3 || platform::receiptsOnly());
}

void TDmForm::HistPerSessionTableBeforeEdit(db::Dataset& DataSet)
{
    m_costAtEdit.insert(&DataSet, {amount(DataSet, u"Cost"), amount(DataSet, u"CostEURO")});
    m_levelAtEdit.insert(&DataSet, DataSet.value(u"TreatmentLevel"));
}

void TDmForm::HistPerSessionTableBeforePost(db::Dataset& DataSet)
{
    const QVariant operId = DataSet.value(kOperID);
    const bool found = !operId.isNull() && OperationsTable->isActive() && OperationsTable->locate(kOperID, operId);
    fillHistoryPrices(DataSet, found);
    m_historyLevelMoved = DataSet.state() == db::DatasetState::Edit && DataSet.value(u"TreatmentLevel") != m_levelAtEdit.value(&DataSet);
    ConvertTwins(DataSet);
    syncCharge(DataSet);
}

void TDmForm::fillHistoryPrices(db::Dataset& history, bool found)
{
    if (found && history.value(u"RequireMaterial").isNull())
        history.setValue(u"RequireMaterial", OperationsTable->value(u"RequireMaterial"));
    if (found && history.value(u"RequireLab").isNull())
        history.setValue(u"RequireLab", OperationsTable->value(u"RequireDentalLab"));
    if (history.value(kDiscount).isNull())
        history.setValue(kDiscount, 0);
    if (found && history.value(u"Price").isNull() && history.value(u"PriceEURO").isNull()) {
        history.setValue(u"Price", OperationsTable->value(u"Cost"));
        history.setValue(u"PriceEURO", OperationsTable->value(u"CostEURO"));
        discountedCosts(history);
    }
}

void TDmForm::syncCharge(db::Dataset& history)
{
    const QVariant id = history.value(u"ID");
    db::Dataset& charges = *PatEconomicsForFatherTable;
    charges.setRange({id}, {id});
    if (!charges.isActive())
        OpenTable(charges);
    try {
        const bool charged = !history.value(u"TreatmentLevel").isNull() && history.value(u"TreatmentLevel").toInt() == kImplementation
            && (amount(history, u"Cost") != 0 || amount(history, u"CostEURO") != 0);
        // Exactly one charge for a charged row, none for any other.
        while (charges.recordCount() > (charged ? 1 : 0)) {
            charges.last();
            charges.remove();
        }
        if (!charged)
            return;
        // A protected member whose family row says the member does not pay is charged to the payer.
        QVariant payer;
        if (PatientsTable->value(u"TypeProtectionFamily").toInt() == 1 && FamilyFatherTable->isActive() && !FamilyFatherTable->isEmpty()
            && !FamilyFatherTable->value(u"ChildPays").toBool())
            payer = FamilyFatherTable->value(u"FatherID");
        if (charges.isEmpty())
            charges.append();
        else
            charges.edit();
        writeCharge(history, charges, payer);
        charges.post();
    } catch (...) {
        // Nothing of a refused post may stay behind to be written with another.
        charges.cancelUpdates();
        throw;
    }
}

void TDmForm::writeCharge(db::Dataset& history, db::Dataset& charges, const QVariant& payer)
{
    const bool receipted = history.value(u"IOFld").toBool();
    charges.setValue(u"DentistID", history.value(u"DentistID"));
    charges.setValue(u"HistoryID", history.value(u"ID"));
    charges.setValue(u"Date", history.value(u"Date"));
    charges.setValue(u"Sign", 1);
    charges.setValue(u"Credit", history.value(u"Cost"));
    charges.setValue(u"CreditEURO", history.value(u"CostEURO"));
    charges.setValue(u"IOFld", receipted);
    charges.setValue(u"ReceiptCredit", receipted ? history.value(u"Cost") : QVariant());
    charges.setValue(u"ReceiptCreditEURO", receipted ? history.value(u"CostEURO") : QVariant());
    if (charges.value(u"PaymentType").isNull())
        charges.setValue(u"PaymentType", 0);

    QString description;
    if (history.value(kOperID).toInt() == kDiscountLine && !history.value(kOperID).isNull()) {
        description = Lang->Message(QStringLiteral("Discount"));
    } else {
        if (!OperationsTable->isActive() || !OperationsTable->locate(kOperID, history.value(kOperID)))
            widgets::showWarning(QStringLiteral("Δε βρέθηκε η υπηρεσία. Θα εισαχθεί η πρώτη διαθέσιμη."));
        description = OperationsTable->isActive() && !OperationsTable->isEmpty() ? OperationsTable->value(u"Description").toString() : QString();
        if (platform::session().edition == platform::Edition::Dental)
            description += QStringLiteral(", ") + Lang->Message(QStringLiteral("Tooth")) + QLatin1Char(' ') + history.value(u"ToothNum").toString();
    }
    charges.setValue(u"Description", description.left(charges.field(u"Description").size()));

    const QVariant account = payer.isNull() ? history.value(u"PatientID") : payer;
    db::Query owner(*Database, QStringLiteral("SELECT LastName, TherapySessionID FROM Patient WHERE PatientID = :id"));
    owner.bind(QStringLiteral("id"), account).exec();
    const bool known = owner.next();
    charges.setValue(u"PatientID", account);
    charges.setValue(u"SourceName", known ? owner.value(0) : QVariant());
    if (payer.isNull()) {
        charges.setValue(u"SessionID", history.value(u"TherapySessionID"));
        charges.setValue(u"ChildID", QVariant());
    } else {
        charges.setValue(u"SessionID", known ? owner.value(1) : QVariant());
        charges.setValue(u"ChildID", history.value(u"PatientID"));
    }
}

void TDmForm::HistPerSessionTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant id = DataSet.value(u"ID");
    db::Dataset& charges = *PatEconomicsForFatherTable;
    try {
        charges.setRange({id}, {id});
        if (!charges.isActive())
            OpenTable(charges);
        while (!charges.isEmpty()) {
            charges.first();
            charges.remove();
        }
    } catch (const db::DatabaseError&) {
        charges.cancelUpdates();
        widgets::showError(QStringLiteral("Λάθος κατά τη διαγραφή. Παρακαλούμε ξαναπροσπαθήστε."));
        throw db::Abort();
    }
}

void TDmForm::HistPerSessionTableOperIDChange(db::Dataset& DataSet)
{
    if (!DataSet.isEditing() || !OperationsTable->isActive() || !OperationsTable->locate(kOperID, DataSet.value(kOperID)))
        return;
    DataSet.setValue(u"RequireMaterial", OperationsTable->value(u"RequireMaterial"));
    DataSet.setValue(u"RequireLab", OperationsTable->value(u"RequireDentalLab"));
    DataSet.setValue(u"RequireColor", OperationsTable->value(u"RequireColor"));
    DataSet.setValue(u"Price", amount(*OperationsTable, u"Cost"));
    DataSet.setValue(u"PriceEURO", amount(*OperationsTable, u"CostEURO"));
    discountedCosts(DataSet); // with the row's discount as it stands
    const bool free = amount(DataSet, u"Price") == 0 && amount(DataSet, u"PriceEURO") == 0;
    DataSet.setValue(kDiscount, free ? QVariant(0) : PatientsTable->value(kDiscount));
}

} // namespace data

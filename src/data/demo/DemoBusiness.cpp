#include "data/demo/DemoBuilder.h"

#include "db/Query.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace data::demo {
namespace {

// The appointment book's label of slot row r with half-hour slots from 8:00: "9 : 30".
QString slotLabel(int row)
{
    const int minutes = (row - 1) * 30;
    const int rest = minutes % 60;
    return QStringLiteral("%1 : %2").arg(minutes / 60 + 8).arg(rest == 0 ? QStringLiteral("00") : QString::number(rest));
}

} // namespace

void DemoBuilder::ledgerRow(int supplierId, int labId, TransactionType type, Sign sign, double euro,
    QDate date, const QString& source, const QString& description, int historyId, const QString& receiptNo)
{
    const bool receipt = !receiptNo.isEmpty();
    m_w.insert(QStringLiteral("DentEconomics"),
        { { "EconomID", m_w.take(QStringLiteral("DentEconomics")) }, { "DentistID", m_dentists.first().id },
            { "Date", date }, { "TransactionType", code(type) }, { "SupplierID", supplierId },
            { "LabID", labId }, { "SourceName", source }, { "Sign", code(sign) }, { "Credit", local(euro) },
            { "CreditEURO", euro }, { "Description", description },
            { "ReceiptNo", receipt ? QVariant(receiptNo) : QVariant() },
            { "PaymentType", sign == Sign::Receivable ? 2 : 0 }, { "PaymentText", QVariant() },
            { "DueDate", QVariant() }, { "HistoryID", historyId > 0 ? QVariant(historyId) : QVariant() },
            { "IOFld", receipt }, { "ReceiptCredit", receipt ? QVariant(local(euro)) : QVariant() },
            { "ReceiptCreditEURO", receipt ? QVariant(euro) : QVariant() } });
}

void DemoBuilder::labWork()
{
    const QDate today = m_options.today;
    int orderCode = 0;
    for (qsizetype lab = 0; lab < m_labs.size(); ++lab) {
        QList<LabJob> jobs;
        for (const LabJob& job : std::as_const(m_labJobs)) {
            if (job.lab == lab)
                jobs.append(job);
        }
        std::stable_sort(jobs.begin(), jobs.end(), [](const LabJob& a, const LabJob& b) { return a.date < b.date; });
        const QString company = text(labs()[lab].name);
        double owed = 0;
        double paid = 0;
        // One order per day's jobs; it comes back whole one or two weeks later, if that is past.
        for (qsizetype first = 0; first < jobs.size();) {
            qsizetype end = first;
            while (end < jobs.size() && jobs[end].date == jobs[first].date)
                ++end;
            const QDate ordered = jobs[first].date;
            const QDate back = ordered.addDays(between(7, 14));
            const bool delivered = back <= today;
            const int orderId = m_w.take(QStringLiteral("LabOrders"));
            const int deliveryId = delivered ? m_w.take(QStringLiteral("LabOrders")) : 0;
            double total = 0;
            for (qsizetype j = first; j < end; ++j)
                total += jobs[j].euro;
            const int items = int(end - first);
            const QString code = QStringLiteral("ΠΑΡ-%1").arg(++orderCode, 4, 10, QLatin1Char('0'));
            const QString invoice = QStringLiteral("ΤΔΑ-%1").arg(orderCode, 4, 10, QLatin1Char('0'));
            auto header = [&](int id, QDate date, int transType, const QString& orderCodeText) {
                m_w.insert(QStringLiteral("LabOrders"), {{"OrderID", id}, {"DocID", m_dentists.first().id}, {"LabID", m_labs[lab]},
                                                            {"Notes", QVariant()}, {"Date", date}, {"OrderCode", orderCodeText},
                                                            {"TotalPrice", local(total)}, {"TotalPriceEURO", total},
                                                            {"TotalItems", items}, {"TransType", transType}});
            };
            header(orderId, ordered, 0, code);
            if (delivered)
                header(deliveryId, back, 1, invoice);
            for (qsizetype j = first; j < end; ++j) {
                const LabJob& job = jobs[j];
                const int orderItem = m_w.take(QStringLiteral("LabOrderItems"));
                const int deliveryItem = delivered ? m_w.take(QStringLiteral("LabOrderItems")) : -1;
                auto item = [&](int id, int orderOf, int related) {
                    m_w.insert(QStringLiteral("LabOrderItems"),
                        {{"ItemID", id}, {"OrderID", orderOf}, {"HistoryID", job.historyId}, {"OrderWhat", job.what},
                            {"OrderPrice", local(job.euro)}, {"OrderPriceEURO", job.euro}, {"EstimatedDeliveryDate", ordered.addDays(10)},
                            {"PatientID", job.patient}, {"OperID", job.operation}, {"ToothNum", job.tooth}, {"RelatedOrderItemID", related}});
                };
                item(orderItem, orderId, deliveryItem);
                if (delivered)
                    item(deliveryItem, deliveryId, orderItem);
            }
            if (delivered) {
                ledgerRow(-1, m_labs[lab], TransactionType::Lab, Sign::Payable, total, back, company,
                    QStringLiteral("Order of %1 dental jobs").arg(items), deliveryId, invoice);
                owed += total;
                // The practice pays the lab's invoices at the end of the month, not always all of them.
                if (chance(80) && back.addDays(30) <= today) {
                    ledgerRow(-1, m_labs[lab], TransactionType::Lab, Sign::Receivable, total,
                        back.addDays(30), company, QStringLiteral("Εξόφληση τιμολογίου ") + invoice, 0,
                        QString());
                    paid += total;
                }
            }
            first = end;
        }
        db::Query balance(m_w.connection(), QStringLiteral("UPDATE DentalLabDB SET Balance = :local, BalanceEURO = :euro WHERE DentalLabID = :id"));
        balance.bind(QStringLiteral("local"), local(owed - paid)).bind(QStringLiteral("euro"), owed - paid).bind(QStringLiteral("id"), m_labs[lab]).exec();
    }
}

void DemoBuilder::materialOrders()
{
    const QDate today = m_options.today;
    constexpr std::array taxes = {8, 13, 18};
    int orderCode = 0;
    for (qsizetype s = 0; s < m_suppliers.size(); ++s) {
        double owed = 0;
        double paid = 0;
        const int orders = between(3, 6);
        for (int o = 0; o < orders; ++o) {
            const QDate ordered = today.addDays(-between(5, 360));
            const QDate back = ordered.addDays(between(2, 10));
            const bool delivered = back <= today && chance(85);
            const bool partly = delivered && chance(20);
            struct Line {
                int material;
                int quantity;
                int delivered;
                double discount;
                double tax;
            };
            QList<Line> lines;
            const int count = between(1, 4);
            for (int l = 0; l < count; ++l) {
                const int material = between(0, int(m_materials.size()) - 1);
                const int quantity = between(1, 10);
                const int arrived = !delivered ? 0 : (partly && l == 0 ? std::max(1, quantity / 2) : quantity);
                const double discount = chance(30) ? 10.0 : 0.0;
                const double tax = pickFrom(taxes);
                lines.append({material, quantity, arrived, discount, tax});
            }
            auto lineTotal = [](double unit, int quantity, double discount, double tax) {
                return (tax / 100 + 1) * quantity * unit * (100 - discount) / 100;
            };
            double orderTotal = 0;
            double deliveryTotal = 0;
            for (const Line& line : lines) {
                orderTotal += lineTotal(m_materialEuro[line.material], line.quantity, line.discount, line.tax);
                deliveryTotal += lineTotal(m_materialEuro[line.material], line.delivered, line.discount, line.tax);
            }
            const QString code = QStringLiteral("ΠΡ-%1").arg(++orderCode, 4, 10, QLatin1Char('0'));
            const QString invoice = QStringLiteral("ΤΙΜ-%1").arg(orderCode, 4, 10, QLatin1Char('0'));
            auto header = [&](int id, QDate date, int transType, const QString& codeText, double total) {
                m_w.insert(QStringLiteral("MaterialOrders"), {{"OrderID", id}, {"DocID", m_dentists.first().id}, {"SupplierID", m_suppliers[s]},
                                                                 {"Notes", QVariant()}, {"Date", date}, {"OrderCode", codeText},
                                                                 {"TotalItems", int(lines.size())}, {"TotalPrice", local(total)},
                                                                 {"TotalPriceEURO", total}, {"TransType", transType}});
            };
            const int orderId = m_w.take(QStringLiteral("MaterialOrders"));
            header(orderId, ordered, 0, code, orderTotal);
            const int deliveryId = delivered ? m_w.take(QStringLiteral("MaterialOrders")) : 0;
            if (delivered)
                header(deliveryId, back, 1, invoice, deliveryTotal);
            for (const Line& line : lines) {
                const double unit = m_materialEuro[line.material];
                auto item = [&](int id, int orderOf, int quantity, int arrived, int related) {
                    const double price = lineTotal(unit, orderOf == orderId ? quantity : arrived, line.discount, line.tax);
                    m_w.insert(QStringLiteral("MaterialOrderItems"),
                        {{"ItemID", id}, {"OrderID", orderOf}, {"MaterialID", m_materials[line.material]}, {"UnitPrice", local(unit)},
                            {"UnitPriceEURO", unit}, {"Quantity", quantity}, {"QuantityDelivered", arrived}, {"Discount", line.discount},
                            {"Price", local(price)}, {"PriceEURO", price}, {"RelatedOrderItemID", related}, {"Tax", line.tax}});
                };
                const int orderItem = m_w.take(QStringLiteral("MaterialOrderItems"));
                item(orderItem, orderId, line.quantity, line.delivered, -1);
                if (delivered)
                    item(m_w.take(QStringLiteral("MaterialOrderItems")), deliveryId, line.quantity, line.delivered, orderItem);
            }
            if (delivered) {
                const QString company = text(suppliers()[s].name);
                ledgerRow(m_suppliers[s], -1, TransactionType::Supplier, Sign::Payable, deliveryTotal, back,
                    company, QStringLiteral("Order of %1 materials").arg(lines.size()), deliveryId, invoice);
                owed += deliveryTotal;
                if (chance(75) && back.addDays(20) <= today) {
                    ledgerRow(m_suppliers[s], -1, TransactionType::Supplier, Sign::Receivable, deliveryTotal,
                        back.addDays(20), company, QStringLiteral("Εξόφληση τιμολογίου ") + invoice, 0,
                        QString());
                    paid += deliveryTotal;
                }
            }
        }
        db::Query balance(m_w.connection(), QStringLiteral("UPDATE Suppliers SET Balance = :local, BalanceEURO = :euro WHERE SupplierID = :id"));
        balance.bind(QStringLiteral("local"), local(owed - paid)).bind(QStringLiteral("euro"), owed - paid).bind(QStringLiteral("id"), m_suppliers[s]).exec();
    }
}

void DemoBuilder::practiceExpenses()
{
    struct Expense {
        const char* source;
        const char* description;
        double euro;
    };
    constexpr std::array monthly = std::to_array<Expense>({
        {"Ιδιοκτήτης ακινήτου", "Ενοίκιο ιατρείου", 1200},
        {"ΔΕΗ", "Λογαριασμός ρεύματος", 180},
        {"ΟΤΕ", "Τηλέφωνο και διαδίκτυο", 65},
        {"Καθαριότητα Λάμψη", "Καθαρισμός χώρων", 240},
    });
    const QDate today = m_options.today;
    for (int month = 11; month >= 0; --month) {
        const QDate date = QDate(today.year(), today.month(), 1).addMonths(-month).addDays(4);
        if (date > today)
            continue;
        for (const Expense& e : monthly) {
            const double euro = e.euro * (1.0 + between(-10, 10) / 100.0);
            ledgerRow(-1, -1, TransactionType::Practice, Sign::Receivable, euro, date, text(e.source),
                text(e.description), 0,
                QStringLiteral("%1-%2").arg(date.toString(QStringLiteral("yyMM"))).arg(between(100, 999)));
        }
    }
    ledgerRow(-1, -1, TransactionType::Practice, Sign::Payable, 850, today.addDays(-between(20, 90)),
        QStringLiteral("Σεμινάρια Dental Hellas"), QStringLiteral("Αμοιβή ομιλητή σεμιναρίου"), 0, QString());
}

void DemoBuilder::appointments()
{
    const QDate today = m_options.today;
    const QStringList details = {QStringLiteral("Έλεγχος"), QStringLiteral("Συνέχεια θεραπείας"), QStringLiteral("Καθαρισμός"),
        QStringLiteral("Αποτύπωση"), QStringLiteral("Δοκιμή σκελετού"), QStringLiteral("Πόνος")};
    for (QDate day = today.addDays(-14); day <= today.addDays(35); day = day.addDays(1)) {
        if (day.dayOfWeek() > 5)
            continue;
        for (qsizetype d = 0; d < m_dentists.size(); ++d) {
            const Dentist& dentist = m_dentists[d];
            for (int slot = dentist.firstSlot; slot <= dentist.lastSlot;) {
                // The book fills up less the further ahead it looks.
                const int busy = day <= today.addDays(7) ? 65 : 40;
                if (!chance(busy)) {
                    ++slot;
                    continue;
                }
                const int duration = std::min(between(1, 3), dentist.lastSlot - slot + 1);
                const bool outsider = chance(5);
                const Patient& patient = pickFrom(m_patients);
                const Person stranger = outsider ? m_names.person(80) : Person{};
                const int type = between(0, int(m_appointmentTypes.size()) - 1);
                const QString detail = details[between(0, int(details.size()) - 1)];
                const QString name = outsider ? stranger.lastName + QLatin1Char(' ') + stranger.firstName
                                              : patient.person.lastName + QLatin1Char(' ') + patient.person.firstName;
                m_w.insert(QStringLiteral("Appointments"),
                    {{"AppID", m_w.take(QStringLiteral("Appointments"))}, {"Date", day}, {"Duration", duration}, {"StartTime", slotLabel(slot)},
                        {"PatID", outsider ? -1 : patient.id}, {"Details", detail}, {"DocID", dentist.id}, {"PatName", name},
                        {"AppointmentType", m_appointmentTypes[type]}});
                ++counts.appointments;
                slot += duration;
            }
        }
    }
}

} // namespace data::demo

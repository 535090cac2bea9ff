#include "prescriptions/PrescriptionReport.h"
#include "db/FieldFormat.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QSaveFile>

namespace prescriptions {
namespace {

constexpr const char* kFormat = "orvane-report";

LayoutItem item(LayoutItem::Band band, const QString& caption, const QString& field, double x, double y,
    double width, int points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"), points);
    font.setBold(bold);
    return { band, caption, field, QPointF(x, y), width, font };
}

QString bandName(LayoutItem::Band band)
{
    return band == LayoutItem::Band::Title ? QStringLiteral("title") : QStringLiteral("detail");
}

QString textOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return db::fieldformat::dateText(value.toDate());
    return value.toString();
}

} // namespace

PrescriptionLayout PrescriptionLayout::builtIn()
{
    using B = LayoutItem::Band;
    PrescriptionLayout layout;
    layout.items = {
        item(B::Title, {}, QStringLiteral("Dentist.LastName"), 0, 0, 64, 13, true),
        item(B::Title, {}, QStringLiteral("Dentist.FirstName"), 66, 0, 60, 13, true),
        item(B::Title, {}, QStringLiteral("Dentist.Specialty"), 0, 7, 128, 10),
        item(B::Title, {}, QStringLiteral("Dentist.Address"), 0, 13, 128, 9),
        item(B::Title, QStringLiteral("Zip:"), {}, 0, 18, 14, 9),
        item(B::Title, {}, QStringLiteral("Dentist.Zip"), 14, 18, 24, 9),
        item(B::Title, {}, QStringLiteral("Dentist.CityName"), 40, 18, 60, 9),
        item(B::Title, QStringLiteral("Phone:"), {}, 0, 23, 18, 9),
        item(B::Title, {}, QStringLiteral("Dentist.Phone"), 18, 23, 60, 9),
        item(B::Title, {}, QStringLiteral("Prescription.Date"), 98, 32, 30, 10),
        item(B::Title, {}, QStringLiteral("Patient.Name"), 0, 32, 96, 11, true),
        item(B::Title, QStringLiteral("Name:"), {}, 0, 42, 24, 10, true),
        item(B::Title, {}, QStringLiteral("Prescription.Name"), 24, 42, 104, 10),
        item(B::Title, QStringLiteral("Comments:"), {}, 0, 49, 24, 10, true),
        item(B::Title, {}, QStringLiteral("Prescription.Comments"), 24, 49, 104, 9),
        item(B::Detail, QStringLiteral("Medicine:"), {}, 0, 0, 26, 10, true),
        item(B::Detail, {}, QStringLiteral("Line.Medicine"), 26, 0, 102, 10, true),
        item(B::Detail, QStringLiteral("Morph:"), {}, 0, 6, 26, 9),
        item(B::Detail, {}, QStringLiteral("Line.Morph"), 26, 6, 40, 9),
        item(B::Detail, QStringLiteral("Amount:"), {}, 68, 6, 20, 9),
        item(B::Detail, {}, QStringLiteral("Line.Amount"), 88, 6, 40, 9),
        item(B::Detail, QStringLiteral("Instructions:"), {}, 0, 12, 26, 9),
        item(B::Detail, {}, QStringLiteral("Line.Instructions"), 26, 12, 102, 9),
    };
    return layout;
}

QStringList PrescriptionLayout::fieldNames()
{
    return { QStringLiteral("Dentist.LastName"), QStringLiteral("Dentist.FirstName"),
        QStringLiteral("Dentist.Specialty"), QStringLiteral("Dentist.Address"), QStringLiteral("Dentist.Zip"),
        QStringLiteral("Dentist.CityName"), QStringLiteral("Dentist.Phone"), QStringLiteral("Patient.Name"),
        QStringLiteral("Prescription.Date"), QStringLiteral("Prescription.Name"),
        QStringLiteral("Prescription.Comments"), QStringLiteral("Line.Medicine"),
        QStringLiteral("Line.Morph"), QStringLiteral("Line.Amount"), QStringLiteral("Line.Instructions") };
}

std::optional<PrescriptionLayout> PrescriptionLayout::load(const QString& fileName, QString* error)
{
    const auto failed = [error](const QString& why) -> std::optional<PrescriptionLayout> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failed(file.errorString());
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError)
        return failed(parse.errorString());
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormat))
        return failed(QStringLiteral("not a report layout"));
    PrescriptionLayout layout;
    const QJsonObject page = root.value(QLatin1String("page")).toObject();
    layout.pageMm = QSizeF(
        page.value(QLatin1String("width")).toDouble(), page.value(QLatin1String("height")).toDouble());
    layout.marginMm = page.value(QLatin1String("margin")).toDouble(layout.marginMm);
    layout.titleHeightMm = root.value(QLatin1String("titleHeight")).toDouble();
    layout.detailHeightMm = root.value(QLatin1String("detailHeight")).toDouble();
    for (const QJsonValue& value : root.value(QLatin1String("items")).toArray()) {
        const QJsonObject o = value.toObject();
        LayoutItem item;
        const QString band = o.value(QLatin1String("band")).toString();
        if (band != QLatin1String("title") && band != QLatin1String("detail"))
            return failed(QStringLiteral("an item lies on the unknown band \"%1\"").arg(band));
        item.band = band == QLatin1String("title") ? LayoutItem::Band::Title : LayoutItem::Band::Detail;
        item.caption = o.value(QLatin1String("caption")).toString();
        item.field = o.value(QLatin1String("field")).toString();
        item.mm = QPointF(o.value(QLatin1String("x")).toDouble(), o.value(QLatin1String("y")).toDouble());
        item.widthMm = o.value(QLatin1String("width")).toDouble(60);
        item.font = QFont(o.value(QLatin1String("font")).toString(QStringLiteral("DejaVu Sans")),
            o.value(QLatin1String("size")).toInt(10));
        item.font.setBold(o.value(QLatin1String("bold")).toBool());
        layout.items.append(item);
    }
    if (const QString why = layout.problem(); !why.isEmpty())
        return failed(why);
    return layout;
}

QString PrescriptionLayout::problem() const
{
    if (pageMm.width() < 50 || pageMm.height() < 50 || pageMm.width() > 1000 || pageMm.height() > 1000
        || detailHeightMm <= 0 || titleHeightMm < 0
        || titleHeightMm + detailHeightMm + 2 * marginMm > pageMm.height())
        return QStringLiteral("the page or the bands have impossible sizes");
    const QStringList known = fieldNames();
    for (const LayoutItem& item : items) {
        if (!item.field.isEmpty() && !known.contains(item.field))
            return QStringLiteral("the unknown field \"%1\"").arg(item.field);
        if (item.font.pointSize() < 4 || item.font.pointSize() > 72 || item.widthMm <= 0)
            return QStringLiteral("an item has an impossible font size or width");
    }
    return {};
}

bool PrescriptionLayout::save(const QString& fileName, QString* error) const
{
    QJsonArray list;
    for (const LayoutItem& item : items) {
        QJsonObject o { { QStringLiteral("band"), bandName(item.band) }, { QStringLiteral("x"), item.mm.x() },
            { QStringLiteral("y"), item.mm.y() }, { QStringLiteral("width"), item.widthMm },
            { QStringLiteral("font"), item.font.family() }, { QStringLiteral("size"), item.font.pointSize() },
            { QStringLiteral("bold"), item.font.bold() } };
        if (item.field.isEmpty())
            o.insert(QStringLiteral("caption"), item.caption);
        else
            o.insert(QStringLiteral("field"), item.field);
        list.append(o);
    }
    const QJsonObject root { { QStringLiteral("format"), QLatin1String(kFormat) },
        { QStringLiteral("version"), 1 },
        { QStringLiteral("page"),
            QJsonObject { { QStringLiteral("width"), pageMm.width() },
                { QStringLiteral("height"), pageMm.height() }, { QStringLiteral("margin"), marginMm } } },
        { QStringLiteral("titleHeight"), titleHeightMm }, { QStringLiteral("detailHeight"), detailHeightMm },
        { QStringLiteral("items"), list } };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(QJsonDocument(root).toJson());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

PrescriptionValues PrescriptionValues::current(data::TDmForm& dm)
{
    PrescriptionValues values;
    db::Dataset& dentists = *dm.lists().DentistsTable;
    if (!dentists.isActive())
        dm.OpenTable(dentists);
    if (dm.defaultDentist() > 0)
        dentists.locate(QStringLiteral("DocID"), dm.defaultDentist());
    if (!dentists.isEmpty()) {
        for (const char* field :
            { "LastName", "FirstName", "Specialty", "Address", "Zip", "CityName", "Phone" })
            values.title.insert(QStringLiteral("Dentist.") + QLatin1String(field),
                textOf(dentists.value(QString::fromLatin1(field))));
    }
    db::Dataset& patients = *dm.patients().PatientsTable;
    if (patients.isActive() && !patients.isEmpty())
        values.title.insert(QStringLiteral("Patient.Name"),
            data::fullName(patients.value(u"LastName"), patients.value(u"FirstName")));
    db::Dataset& prescription = *dm.patients().PrescriptionsTable;
    if (prescription.isActive() && !prescription.isEmpty()) {
        for (const char* field : { "Date", "Name", "Comments" })
            values.title.insert(QStringLiteral("Prescription.") + QLatin1String(field),
                textOf(prescription.value(QString::fromLatin1(field))));
    }
    db::Dataset& lines = *dm.patients().PrescrItemsTable;
    if (lines.isActive()) {
        for (int row = 0; row < lines.recordCount(); ++row) {
            QHash<QString, QString> line;
            for (const char* field : { "Medicine", "Morph", "Amount", "Instructions" })
                line.insert(QStringLiteral("Line.") + QLatin1String(field),
                    textOf(lines.rowValue(row, lines.field(QString::fromLatin1(field)).index())));
            values.lines.append(line);
        }
    }
    return values;
}

int renderPrescription(const PrescriptionLayout& layout, const PrescriptionValues& values,
    QPagedPaintDevice& device, const Translate& translate)
{
    device.setPageLayout(
        QPageLayout(QPageSize(layout.pageMm, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&device);
    const double dots = device.logicalDpiX() / 25.4;
    const auto draw = [&](LayoutItem::Band band, double topMm, const QHash<QString, QString>& fields) {
        for (const LayoutItem& item : layout.items) {
            if (item.band != band)
                continue;
            const QString text = item.field.isEmpty() ? (translate ? translate(item.caption) : item.caption)
                                                      : fields.value(item.field);
            QFont font = item.font;
            font.setPointSizeF(item.font.pointSizeF());
            painter.setFont(font);
            const QRectF box((layout.marginMm + item.mm.x()) * dots, (topMm + item.mm.y()) * dots,
                item.widthMm * dots, QFontMetricsF(font, &device).height() * 3);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        }
    };
    int pages = 1;
    draw(LayoutItem::Band::Title, layout.marginMm, values.title);
    double top = layout.marginMm + layout.titleHeightMm;
    const double bottom = layout.pageMm.height() - layout.marginMm;
    for (const QHash<QString, QString>& line : values.lines) {
        if (top + layout.detailHeightMm > bottom) {
            device.newPage();
            ++pages;
            top = layout.marginMm;
        }
        draw(LayoutItem::Band::Detail, top, line);
        top += layout.detailHeightMm;
    }
    return pages;
}

bool exportPrescriptionPdf(const PrescriptionLayout& layout, const PrescriptionValues& values,
    const QString& fileName, const Translate& translate, QString* error)
{
    // Written aside and renamed: a failed export leaves whatever file was there.
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly)) {
        {
            QPdfWriter writer(&file);
            writer.setResolution(300);
            renderPrescription(layout, values, writer, translate);
        }
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

void previewPrescription(const PrescriptionLayout& layout, const PrescriptionValues& values,
    const Translate& translate, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(
        &printer, parent, Qt::Window | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    preview.setWindowTitle(
        translate ? translate(QStringLiteral("Print Preview")) : QStringLiteral("Print Preview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
        [&](QPrinter* target) { renderPrescription(layout, values, *target, translate); });
    preview.showMaximized();
    preview.exec();
}

} // namespace prescriptions

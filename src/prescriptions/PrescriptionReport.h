#pragma once

#include "widgets/Forward.h"
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPainter;

namespace prescriptions {

// One thing printed at a place of a band: a caption (its text, translated when printed) or a
// field's value.
struct LayoutItem {
    enum class Band { Title, Detail };
    Band band = Band::Title;
    QString caption; // printed as it stands when there is no field
    QString field; // "Dentist.LastName", "Prescription.Name", "Line.Medicine" …
    QPointF mm; // from the band's top left corner
    double widthMm = 60;
    QFont font;
};

// The prescription report's layout: the page, the title band and the band repeated for each
// line, the items on them. Stored in our own text format (JSON) beside the program as
// "PrescriptionsRpt.rtm".
struct PrescriptionLayout {
    static constexpr const char* kFileName = "PrescriptionsRpt.rtm";

    QSizeF pageMm { 148, 210 }; // A5
    double marginMm = 10;
    double titleHeightMm = 70;
    double detailHeightMm = 24;
    QList<LayoutItem> items;

    static PrescriptionLayout builtIn();
    // The layout of a file; nothing, with the reason in `error`, when it cannot be read or is
    // not a layout.
    static std::optional<PrescriptionLayout> load(const QString& fileName, QString* error = nullptr);
    bool save(const QString& fileName, QString* error = nullptr) const;
    // Why the report cannot be printed with this layout (sizes, fields, fonts); empty when it can.
    QString problem() const;
    // The fields a layout may print.
    static QStringList fieldNames();
};

// What one prescription prints: the dentist of the letterhead, the prescription and its lines,
// by the field names of the layout.
struct PrescriptionValues {
    QHash<QString, QString> title;
    QList<QHash<QString, QString>> lines;

    // The current prescription of the data module with its lines, on the default dentist's
    // letterhead (the first dentist when no default is set).
    static PrescriptionValues current(data::TDmForm& dm);
};

// Draws the report: captions through `translate`, as many pages as the lines need.
using Translate = std::function<QString(const QString&)>;
int renderPrescription(const PrescriptionLayout& layout, const PrescriptionValues& values,
    QPagedPaintDevice& device, const Translate& translate = {});
bool exportPrescriptionPdf(const PrescriptionLayout& layout, const PrescriptionValues& values,
    const QString& fileName, const Translate& translate = {}, QString* error = nullptr);
void previewPrescription(const PrescriptionLayout& layout, const PrescriptionValues& values,
    const Translate& translate, QWidget* parent);

} // namespace prescriptions

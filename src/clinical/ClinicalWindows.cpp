#include "clinical/ClinicalWindows.h"

#include "clinical/HistoryUnit.h"
#include "clinical/OperationsEntryUnit.h"
#include "clinical/PerioUnit.h"
#include "clinical/ProgNotesUnit.h"
#include "clinical/ToothNotesUnit.h"
#include "clinical/UsualAnswersUnit.h"
#include "data/DmUnit.h"
#include "widgets/WindowRegistry.h"

namespace clinical {

void registerClinicalWindows(data::TDmForm& dm, widgets::WindowService&, ToothImagingRequest toothImaging)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("DentalChartForm"), WindowRegistry::Kind::Child,
        [&dm, toothImaging](QWidget* parent) {
            auto* chart = new TDentalChartForm(dm, parent);
            if (toothImaging)
                QObject::connect(chart, &TDentalChartForm::toothImagingRequested, chart,
                    [chart, toothImaging](TDentalChartForm::ToothImaging kind, int tooth) {
                        toothImaging(*chart, kind, tooth);
                    });
            return chart;
        },
        &dm);
    registry.add(
        QStringLiteral("PerioForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) {
            auto* perio = new TPerioForm(dm, parent);
            QObject::connect(
                perio, &TPerioForm::toothNotesRequested, perio, [perio](int tooth, const QString& notes) {
                    if (const std::optional<QString> text = editToothNotesText(tooth, notes, perio))
                        perio->setToothNotes(tooth, *text);
                });
            return perio;
        },
        &dm);
    registry.add(
        QStringLiteral("ProgNotesForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new TProgNotesForm(dm, parent); }, &dm);
    registry.add(
        QStringLiteral("DefaultAnswersFrm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new TDefaultAnswersFrm(dm, parent); }, &dm);
}

void registerClinicalListWindows(data::TDmForm& dm)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("OperationsEntryForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new TOperationsEntryForm(dm, parent); }, &dm);
    // The medical edition's treatment history: the implementation of the current session.
    registry.add(
        QStringLiteral("HistoryForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) {
            auto* history = new THistoryForm(dm, parent);
            history->setLevel(data::TreatmentLevel::Implementation);
            history->setWindowTitle(QStringLiteral("Treatment History"));
            return history;
        },
        &dm);
}

} // namespace clinical

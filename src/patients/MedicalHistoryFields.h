#pragma once

#include <QList>

namespace patients {

// One yes/no question of the medical history, in the order of the page and the printout,
// with the field of its "Which?" text when it has one.
struct MedicalHistoryField {
    const char* field;
    const char* caption;
    const char* which = nullptr;
};

inline const QList<MedicalHistoryField>& medicalHistoryFields()
{
    static const QList<MedicalHistoryField> fields = {
        {"Saluta", "Good health at present"},
        {"Chirurgici", "Had serious diseases or surg. operations", "ChirurgiciEdit"},
        {"Mediche", "Current medical treatments", "MedicheEdit"},
        {"Medicinali", "Takes medication reqularly", "MedicinaliEdit"},
        {"Ortodontici", "Is prone to Orthodontic treatment"},
        {"Anestetici", "Reactions to local anesthesia"},
        {"Notte", "Gnashes teeth at day/night"},
        {"Periodiche", "Carry out periodical dental visits", "PeriodicheEdit"},
        {"Cuore", "Diseases of the heart"},
        {"Pressione", "High blood pressure"},
        {"Allergie", "Has Allergies", "AllergieEdit"},
        {"Diabete", "Diabetes"},
        {"Epatiti", "Viral Hepatitis"},
        {"Fegato", "Other diseases of the liver"},
        {"Sinusiti", "Inflammations"},
        {"Renali", "Diseases of the kidneys"},
        {"Tiroide", "Diseases of the thyroid"},
        {"Stomaco", "Stomach diseases"},
        {"Digerente", "Peptic system diseases"},
        {"Polmonari", "Diseases of the lungs"},
        {"Veneree", "Venereal diseases"},
        {"Depressive", "Neuropathy or depression"},
        {"Emorragie", "Blood diseases"},
        {"Elencate", "Other diseases, not listed", "ElencateEdit"},
        {"Fuma", "Smoker"},
        {"HIV", "HIV positive"},
        {"Gravidanza", "In state of pregnancy"},
        {"Tuberculosis", "Tuberculosis"},
        {"Epilepsy", "Epilepsy"},
    };
    return fields;
}

} // namespace patients

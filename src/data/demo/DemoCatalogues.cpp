#include "data/demo/DemoCatalogues.h"

#include <array>

namespace data::demo {
namespace {

using K = OperationKind;
namespace s = symbol;

// Twelve groups, one per tool of the chart. Prices in EURO; the local price follows the rate.
constexpr std::array kOperations = std::to_array<DemoOperation>({
    {1, "Κλινική εξέταση", 20, s::None, true, false, false, false, K::MouthTreatment},
    {1, "Πανοραμική ακτινογραφία", 25, s::None, true, false, false, false, K::MouthTreatment},
    {1, "Τερηδόνα μασητική", 0, s::CariesOcclusal, true, false, false, false, K::Finding},
    {1, "Τερηδόνα εγγύς", 0, s::CariesMesial, true, false, false, false, K::Finding},
    {1, "Τερηδόνα άπω", 0, s::CariesDistal, true, false, false, false, K::Finding},
    {1, "Τερηδόνα αυχενική", 0, s::CariesCervical, true, false, false, false, K::Finding},
    {2, "Σύνθετη έμφραξη μασητική", 45, s::CompositeOcclusal, true, false, true, true, K::ToothTreatment},
    {2, "Σύνθετη έμφραξη εγγύς", 55, s::CompositeMesial, true, false, true, true, K::ToothTreatment},
    {2, "Σύνθετη έμφραξη άπω", 55, s::CompositeDistal, true, false, true, true, K::ToothTreatment},
    {2, "Σύνθετη έμφραξη αυχενική", 50, s::CompositeCervical, true, false, true, true, K::ToothTreatment},
    {3, "Αμάλγαμα μασητικό", 35, s::AmalgamOcclusal, true, false, true, false, K::ToothTreatment},
    {3, "Αμάλγαμα MO", 45, s::AmalgamMO, true, false, true, false, K::ToothTreatment},
    {3, "Αμάλγαμα DO", 45, s::AmalgamDO, true, false, true, false, K::ToothTreatment},
    {3, "Αμάλγαμα MOD", 60, s::AmalgamMOD, true, false, true, false, K::ToothTreatment},
    {4, "Μεταλλοκεραμική στεφάνη", 280, s::Crown, true, true, false, true, K::ToothTreatment},
    {4, "Ολοκεραμική στεφάνη ζιρκονίας", 380, s::Crown, true, true, false, true, K::ToothTreatment},
    {4, "Όψη πορσελάνης", 320, s::Veneer, true, true, false, true, K::ToothTreatment},
    {4, "Ένθετο / επένθετο", 250, s::InlayOnlay, true, true, false, true, K::ToothTreatment},
    {5, "Γεφύρωμα (ενδιάμεσο)", 260, s::BridgePontic, false, true, false, true, K::ToothTreatment},
    {5, "Στήριγμα γέφυρας", 280, s::BridgeAbutment, true, true, false, true, K::ToothTreatment},
    {6, "Απονεύρωση μονόριζου", 120, s::RootCanalFilling, true, false, true, false, K::ToothTreatment},
    {6, "Απονεύρωση πολύριζου", 200, s::RootCanalFilling, true, false, true, false, K::ToothTreatment},
    {6, "Επανάληψη ενδοδοντικής θεραπείας", 220, s::RootCanalFilling, true, false, true, false, K::ToothTreatment},
    {6, "Άξονας και κολόβωμα", 90, s::PostAndCore, true, false, true, false, K::ToothTreatment},
    {7, "Απλή εξαγωγή", 40, s::Extraction, true, false, false, false, K::ToothTreatment},
    {7, "Χειρουργική εξαγωγή", 90, s::Extraction, true, false, false, false, K::ToothTreatment},
    {7, "Εξαγωγή έγκλειστου φρονιμίτη", 150, s::ImpactedTooth, true, false, false, false, K::ToothTreatment},
    {7, "Απών δόντι", 0, s::MissingTooth, false, false, false, false, K::Finding},
    {8, "Τοποθέτηση εμφυτεύματος", 750, s::Implant, false, false, true, false, K::ToothTreatment},
    {8, "Στεφάνη επί εμφυτεύματος", 450, s::Crown, true, true, false, true, K::ToothTreatment},
    {8, "Ανόρθωση ιγμορείου", 600, s::None, true, false, true, false, K::MouthTreatment},
    {9, "Καθαρισμός και στίλβωση", 40, s::None, true, false, false, false, K::MouthTreatment},
    {9, "Φθορίωση", 25, s::None, true, false, true, false, K::MouthTreatment},
    {9, "Έμφραξη οπών και σχισμών", 25, s::Sealant, true, false, true, false, K::ToothTreatment},
    {9, "Προσωρινή έμφραξη", 20, s::TemporaryFilling, true, false, true, false, K::ToothTreatment},
    {10, "Απόξεση ριζών (τεταρτημόριο)", 60, s::None, true, false, false, false, K::MouthTreatment},
    {10, "Κάταγμα", 0, s::Fracture, true, false, false, false, K::Finding},
    {10, "Περιακρορριζική αλλοίωση", 0, s::PeriapicalLesion, true, false, false, false, K::Finding},
    {10, "Κινητικότητα", 0, s::Mobility, true, false, false, false, K::Finding},
    {10, "Απότριψη", 0, s::Abrasion, true, false, false, false, K::Finding},
    {11, "Ορθοδοντικό άγκιστρο", 60, s::OrthodonticBracket, true, false, false, false, K::ToothTreatment},
    {11, "Ορθοδοντική παρακολούθηση", 80, s::None, true, false, false, false, K::MouthTreatment},
    {11, "Νάρθηκας συγκράτησης", 150, s::None, true, true, false, false, K::MouthTreatment},
    {12, "Μερική οδοντοστοιχία", 450, s::PartialDenture, true, true, false, true, K::MouthTreatment},
    {12, "Ολική οδοντοστοιχία", 600, s::FullDenture, true, true, false, true, K::MouthTreatment},
    {12, "Επισκευή οδοντοστοιχίας", 60, s::None, true, true, false, false, K::MouthTreatment},
});

constexpr std::array kMaterials = std::to_array<DemoMaterial>({
    {"Σύνθετη ρητίνη A2", "σύριγγα", 4, "gr", true, 38},
    {"Σύνθετη ρητίνη A3", "σύριγγα", 4, "gr", true, 38},
    {"Αμάλγαμα σε κάψουλες", "κουτί", 50, "τεμ.", true, 95},
    {"Λιδοκαΐνη 2% φύσιγγες", "κουτί", 50, "ml", true, 32},
    {"Αρτικαΐνη 4% φύσιγγες", "κουτί", 50, "ml", true, 41},
    {"Συγκολλητικός παράγοντας", "φιαλίδιο", 5, "ml", true, 64},
    {"Σιλικόνη αποτύπωσης", "κουτί", 760, "ml", true, 88},
    {"Αλγινικό αποτυπωτικό", "σακούλα", 500, "gr", true, 14},
    {"Κώνοι γουταπέρκας", "κουτί", 120, "τεμ.", true, 12},
    {"Ενδοδοντικές ρίνες K", "κουτί", 6, "τεμ.", true, 9},
    {"Υποχλωριώδες νάτριο 5%", "φιάλη", 1000, "ml", true, 6},
    {"Φθοριούχο βερνίκι", "σωληνάριο", 10, "ml", true, 27},
    {"Εμφύτευμα τιτανίου 4.1mm", "τεμάχιο", 1, "τεμ.", true, 180},
    {"Γάντια νιτριλίου M", "κουτί", 100, "τεμ.", false, 7},
    {"Χειρουργικές μάσκες", "κουτί", 50, "τεμ.", false, 5},
    {"Σαλιέρες μιας χρήσης", "σακούλα", 100, "τεμ.", false, 4},
});

constexpr std::array kMedicines = std::to_array<DemoMedicine>({
    {"Amoxil 500mg", "Αντιβιοτικά", "Καψάκια", "12 x 500mg", "Αμοξικιλλίνη", "Οδοντογενείς λοιμώξεις", "1 καψάκιο κάθε 8 ώρες για 7 ημέρες", 4.85, "GSK"},
    {"Augmentin 625mg", "Αντιβιοτικά", "Δισκία", "14 x 625mg", "Αμοξικιλλίνη / κλαβουλανικό", "Οδοντογενείς λοιμώξεις", "1 δισκίο κάθε 12 ώρες μετά το φαγητό", 9.12, "GSK"},
    {"Zithromax 500mg", "Αντιβιοτικά", "Δισκία", "3 x 500mg", "Αζιθρομυκίνη", "Λοιμώξεις σε αλλεργία στην πενικιλλίνη", "1 δισκίο την ημέρα για 3 ημέρες", 8.40, "Pfizer"},
    {"Dalacin C 300mg", "Αντιβιοτικά", "Καψάκια", "16 x 300mg", "Κλινδαμυκίνη", "Λοιμώξεις σε αλλεργία στην πενικιλλίνη", "1 καψάκιο κάθε 8 ώρες", 10.35, "Pfizer"},
    {"Flagyl 500mg", "Αντιβιοτικά", "Δισκία", "20 x 500mg", "Μετρονιδαζόλη", "Αναερόβιες λοιμώξεις, περιοδοντίτιδα", "1 δισκίο κάθε 8 ώρες, χωρίς αλκοόλ", 3.90, "Sanofi"},
    {"Ponstan 500mg", "Αναλγητικά", "Δισκία", "15 x 500mg", "Μεφαιναμικό οξύ", "Οδοντικός πόνος", "1 δισκίο κάθε 8 ώρες μετά το φαγητό", 3.15, "Pfizer"},
    {"Depon 500mg", "Αναλγητικά", "Δισκία", "20 x 500mg", "Παρακεταμόλη", "Πόνος, πυρετός", "1-2 δισκία έως 4 φορές την ημέρα", 1.95, "Bristol"},
    {"Nurofen 400mg", "Αντιφλεγμονώδη", "Δισκία", "12 x 400mg", "Ιβουπροφαίνη", "Πόνος και οίδημα μετά από εξαγωγή", "1 δισκίο κάθε 8 ώρες με φαγητό", 4.60, "Reckitt"},
    {"Voltaren 50mg", "Αντιφλεγμονώδη", "Δισκία", "20 x 50mg", "Δικλοφενάκη", "Μετεγχειρητικός πόνος", "1 δισκίο κάθε 12 ώρες με φαγητό", 2.80, "Novartis"},
    {"Mesulid 100mg", "Αντιφλεγμονώδη", "Δισκία", "30 x 100mg", "Νιμεσουλίδη", "Οξύς πόνος", "1 δισκίο κάθε 12 ώρες, έως 15 ημέρες", 5.70, "Boehringer"},
    {"Hexalen 0.12%", "Στοματικά διαλύματα", "Διάλυμα", "200ml", "Χλωρεξιδίνη", "Ουλίτιδα, μετά από χειρουργείο", "Στοματοπλύσεις 2 φορές την ημέρα για 10 ημέρες", 6.30, "Intermed"},
    {"Daktarin oral gel", "Αντιμυκητιασικά", "Γέλη", "40gr", "Μικοναζόλη", "Στοματική καντιντίαση", "Τοπική εφαρμογή 4 φορές την ημέρα", 5.45, "Janssen"},
    {"Zovirax cream 5%", "Αντιικά", "Κρέμα", "2gr", "Ακυκλοβίρη", "Επιχείλιος έρπης", "Τοπική εφαρμογή 5 φορές την ημέρα", 4.20, "GSK"},
    {"Medrol 16mg", "Κορτικοστεροειδή", "Δισκία", "14 x 16mg", "Μεθυλπρεδνιζολόνη", "Έντονο οίδημα μετά από χειρουργείο", "Σύμφωνα με οδηγίες, σταδιακή μείωση", 6.85, "Pfizer"},
    {"Elugel", "Στοματικά διαλύματα", "Γέλη", "40ml", "Χλωρεξιδίνη", "Τοπική αντισηψία ούλων", "Εφαρμογή στα ούλα 2 φορές την ημέρα", 5.10, "Pierre Fabre"},
});

constexpr std::array kNameDays = std::to_array<DemoNameDay>({
    {1, 1, "Βασίλειος, Βασιλική", true},
    {6, 1, "Φώτιος, Φωτεινή (Θεοφάνεια)", true},
    {7, 1, "Ιωάννης, Ιωάννα", false},
    {17, 1, "Αντώνιος, Αντωνία", false},
    {18, 1, "Αθανάσιος, Αθανασία", false},
    {25, 1, "Γρηγόριος", false},
    {10, 2, "Χαράλαμπος", false},
    {25, 3, "Ευάγγελος, Ευαγγελία (Ευαγγελισμός)", true},
    {23, 4, "Γεώργιος, Γεωργία", false},
    {1, 5, "Πρωτομαγιά", true},
    {21, 5, "Κωνσταντίνος, Ελένη", false},
    {29, 6, "Πέτρος, Παύλος", false},
    {30, 6, "Απόστολος", false},
    {20, 7, "Ηλίας", false},
    {26, 7, "Παρασκευή", false},
    {27, 7, "Παντελεήμων", false},
    {6, 8, "Σωτήριος, Σωτηρία", false},
    {15, 8, "Μαρία, Παναγιώτης (Κοίμηση της Θεοτόκου)", true},
    {14, 9, "Σταύρος, Σταυρούλα", false},
    {17, 9, "Σοφία", false},
    {20, 9, "Ευστάθιος", false},
    {26, 10, "Δημήτριος, Δήμητρα", false},
    {28, 10, "Εθνική επέτειος", true},
    {8, 11, "Μιχαήλ, Άγγελος, Αγγελική", false},
    {11, 11, "Μηνάς", false},
    {25, 11, "Αικατερίνη", false},
    {30, 11, "Ανδρέας", false},
    {6, 12, "Νικόλαος, Νικολέτα", false},
    {12, 12, "Σπυρίδων", false},
    {25, 12, "Χρήστος, Χριστίνα (Χριστούγεννα)", true},
    {26, 12, "Σύναξη της Θεοτόκου", true},
    {27, 12, "Στέφανος, Στεφανία", false},
});

constexpr std::array kSuppliers = std::to_array<DemoCompany>({
    {"Dental Hellas", "Νίκος Βλάχος", "Λεωφ. Κηφισίας 112", "Αττική", "11526", "094123456", "2106981234", "orders@dentalhellas.gr"},
    {"Οδοντιατρική Α.Ε.", "Ελένη Σαράφη", "Πατησίων 204", "Αττική", "11256", "094234567", "2108671200", "info@odontiatriki.gr"},
    {"Medident", "Πέτρος Γκίκας", "Τσιμισκή 88", "Μακεδονία", "54622", "099345678", "2310241560", "sales@medident.gr"},
    {"Κρητική Dental", "Μανώλης Σηφάκης", "Λεωφ. Κνωσού 51", "Κρήτη", "71306", "099456789", "2810331177", "crete@kritikidental.gr"},
    {"Dentaltrade ΕΠΕ", "Σοφία Αλεξίου", "Αγίου Δημητρίου 17", "Αττική", "17456", "094567891", "2109960433", "dentaltrade@otenet.gr"},
});

constexpr std::array kLabs = std::to_array<DemoCompany>({
    {"Εργαστήριο Παπαδόγιαννη", "Στέλιος Παπαδόγιαννης", "Ακαδημίας 45", "Αττική", "10679", "046112233", "2103615588", "lab@papadogiannis.gr"},
    {"Zirconia Lab", "Andrew Collins", "Λεωφ. Βουλιαγμένης 310", "Αττική", "17343", "800223344", "2109735511", "info@zirconialab.gr"},
    {"Οδοντοτεχνική Βορείου Ελλάδος", "Θανάσης Ρήγας", "Εγνατίας 130", "Μακεδονία", "54630", "099334455", "2310552290", "orders@odtechnorth.gr"},
});

constexpr std::array kCities = std::to_array<DemoCity>({
    {"Αθήνα", "10", "210"},
    {"Κηφισιά", "145", "210"},
    {"Πειραιάς", "185", "210"},
    {"Θεσσαλονίκη", "54", "2310"},
    {"Πάτρα", "262", "2610"},
    {"Ηράκλειο", "71", "2810"},
    {"Λάρισα", "412", "2410"},
    {"Βόλος", "382", "24210"},
    {"Ιωάννινα", "452", "26510"},
    {"Χανιά", "731", "28210"},
    {"Καλαμάτα", "241", "27210"},
    {"Κέρκυρα", "491", "26610"},
});

constexpr std::array<const char*, 6> kInsurance = {"ΕΟΠΥΥ", "Interamerican", "Εθνική Ασφαλιστική", "AXA", "Allianz", "Generali"};
constexpr std::array<const char*, 4> kCategories = {"Τακτικός", "Παιδί", "Ορθοδοντικός", "Εμφυτεύματα"};
constexpr std::array<const char*, 8> kShades = {"A1", "A2", "A3", "A3.5", "B1", "B2", "C1", "D2"};

} // namespace

std::span<const DemoOperation> operations() { return kOperations; }
std::span<const DemoMaterial> materials() { return kMaterials; }
std::span<const DemoMedicine> medicines() { return kMedicines; }
std::span<const DemoNameDay> nameDays() { return kNameDays; }
std::span<const DemoCompany> suppliers() { return kSuppliers; }
std::span<const DemoCompany> labs() { return kLabs; }
std::span<const DemoCity> cities() { return kCities; }
std::span<const char* const> insuranceCompanies() { return kInsurance; }
std::span<const char* const> patientCategories() { return kCategories; }
std::span<const char* const> shadeGuide() { return kShades; }

} // namespace data::demo

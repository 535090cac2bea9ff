#pragma once

#include <span>

// The fixed lists the demo practice is built from. Texts are UTF-8.
namespace data::demo {

// Symbol identifiers of the chart's symbol library, in the order of the clinical symbol
// catalogue (which lives above this layer; tests/clinical holds the two together). This is the
// one place the demo data refers to the library.
namespace symbol {
inline constexpr int None = -1;
inline constexpr int CariesOcclusal = 0, CariesMesial = 1, CariesDistal = 2, CariesCervical = 3;
inline constexpr int CompositeOcclusal = 4, CompositeMesial = 5, CompositeDistal = 6, CompositeCervical = 7;
inline constexpr int AmalgamOcclusal = 8, AmalgamMO = 9, AmalgamDO = 10, AmalgamMOD = 11;
inline constexpr int Crown = 12, BridgePontic = 13, BridgeAbutment = 14, RootCanalFilling = 15, PostAndCore = 16;
inline constexpr int Extraction = 17, MissingTooth = 18, Implant = 19, Veneer = 20, Sealant = 21, ImpactedTooth = 22;
inline constexpr int Fracture = 23, PeriapicalLesion = 24, OrthodonticBracket = 25, PartialDenture = 26, FullDenture = 27;
inline constexpr int TemporaryFilling = 28, InlayOnlay = 29, Mobility = 30, Abrasion = 31;
} // namespace symbol

// What an operation is used for in the made-up histories.
enum class OperationKind {
    Finding, // a state found at the first visit: no cost, initial situation only
    ToothTreatment, // done on one tooth
    MouthTreatment, // done on the whole mouth (tooth 0)
};

struct DemoOperation {
    int group; // the chart tool group 1-12
    const char* description;
    double euro;
    int symbol;
    bool transparent;
    bool lab;
    bool material;
    bool color;
    OperationKind kind;
};

struct DemoMaterial {
    const char* description;
    const char* packaging;
    int quantity;
    const char* unit;
    bool dentalUse;
    double euro; // list price per package
};

struct DemoMedicine {
    const char* name;
    const char* category;
    const char* form;
    const char* quantity;
    const char* substance;
    const char* indication;
    const char* instructions;
    double retailEuro;
    const char* company;
};

struct DemoNameDay {
    int day;
    int month;
    const char* name;
    bool holiday;
};

struct DemoCompany {
    const char* name;
    const char* contact;
    const char* address;
    const char* province;
    const char* zip;
    const char* vat;
    const char* phone;
    const char* email;
};

struct DemoCity {
    const char* name;
    const char* zipPrefix;
    const char* areaCode;
};

std::span<const DemoOperation> operations();
std::span<const DemoMaterial> materials();
std::span<const DemoMedicine> medicines();
std::span<const DemoNameDay> nameDays();
std::span<const DemoCompany> suppliers();
std::span<const DemoCompany> labs();
std::span<const DemoCity> cities();
std::span<const char* const> insuranceCompanies();
std::span<const char* const> patientCategories();
std::span<const char* const> shadeGuide(); // tooth colours

} // namespace data::demo

#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

// The operation symbols of the library that ships with the program. The artwork generator
// draws one record per entry; the demo operations catalogue takes identifiers from here.
namespace clinical {

enum class SymbolId : qint32 {
    CariesOcclusal = 0,
    CariesMesial,
    CariesDistal,
    CariesCervical,
    CompositeOcclusal,
    CompositeMesial,
    CompositeDistal,
    CompositeCervical,
    AmalgamOcclusal,
    AmalgamMesioOcclusal,
    AmalgamDistoOcclusal,
    AmalgamMOD,
    Crown,
    BridgePontic,
    BridgeAbutment,
    RootCanalFilling,
    PostAndCore,
    Extraction,
    MissingTooth,
    Implant,
    Veneer,
    Sealant,
    ImpactedTooth,
    Fracture,
    PeriapicalLesion,
    OrthodonticBracket,
    PartialDenture,
    FullDenture,
    TemporaryFilling,
    InlayOnlay,
    Mobility,
    Abrasion,
};

struct SymbolInfo {
    SymbolId id;
    std::string_view description; // as an operation would be named
    bool transparent;             // laid over the tooth, or drawn on a bare tooth
    int group;                    // chart tool group 1-12 that offers it
};

inline constexpr std::array<SymbolInfo, 32> SymbolCatalog{{
    {SymbolId::CariesOcclusal, "Caries, occlusal", true, 1},
    {SymbolId::CariesMesial, "Caries, mesial", true, 1},
    {SymbolId::CariesDistal, "Caries, distal", true, 1},
    {SymbolId::CariesCervical, "Caries, cervical", true, 1},
    {SymbolId::CompositeOcclusal, "Composite filling, occlusal", true, 2},
    {SymbolId::CompositeMesial, "Composite filling, mesial", true, 2},
    {SymbolId::CompositeDistal, "Composite filling, distal", true, 2},
    {SymbolId::CompositeCervical, "Composite filling, cervical", true, 2},
    {SymbolId::AmalgamOcclusal, "Amalgam filling, occlusal", true, 3},
    {SymbolId::AmalgamMesioOcclusal, "Amalgam filling, MO", true, 3},
    {SymbolId::AmalgamDistoOcclusal, "Amalgam filling, DO", true, 3},
    {SymbolId::AmalgamMOD, "Amalgam filling, MOD", true, 3},
    {SymbolId::Crown, "Metal-ceramic crown", true, 4},
    {SymbolId::BridgePontic, "Bridge pontic", false, 5},
    {SymbolId::BridgeAbutment, "Bridge abutment", true, 5},
    {SymbolId::RootCanalFilling, "Root canal filling", true, 6},
    {SymbolId::PostAndCore, "Post and core", true, 6},
    {SymbolId::Extraction, "Extraction", true, 7},
    {SymbolId::MissingTooth, "Missing tooth", false, 7},
    {SymbolId::Implant, "Implant", false, 8},
    {SymbolId::Veneer, "Veneer", true, 4},
    {SymbolId::Sealant, "Fissure sealant", true, 9},
    {SymbolId::ImpactedTooth, "Impacted tooth", true, 7},
    {SymbolId::Fracture, "Fracture", true, 10},
    {SymbolId::PeriapicalLesion, "Periapical lesion", true, 10},
    {SymbolId::OrthodonticBracket, "Orthodontic bracket", true, 11},
    {SymbolId::PartialDenture, "Partial denture", true, 12},
    {SymbolId::FullDenture, "Full denture", true, 12},
    {SymbolId::TemporaryFilling, "Temporary filling", true, 9},
    {SymbolId::InlayOnlay, "Inlay / onlay", true, 4},
    {SymbolId::Mobility, "Mobility", true, 10},
    {SymbolId::Abrasion, "Abrasion", true, 10},
}};

constexpr qint32 ToInt(SymbolId id) { return static_cast<qint32>(id); }

} // namespace clinical

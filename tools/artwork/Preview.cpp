// Charts with every symbol painted, drawn by the program's own loading and painting code,
// to look at the artwork as a dentist will see it.
#include "Artwork.h"

#include "clinical/ArtworkFiles.h"
#include "clinical/ChartPictures.h"
#include "clinical/SymbolCatalog.h"
#include "clinical/SymbolContainer.h"
#include "widgets/RegionPackage.h"

#include <QDir>
#include <QPainter>

#include <stdexcept>

namespace artwork {

using clinical::ChartKind;
using clinical::SymbolId;

namespace {

struct Placed {
    int tooth;
    SymbolId symbol;
    int surfaces; // mask of chewing surfaces to fill red
};

// Every symbol once on the adult chart, on a tooth where a dentist would expect it.
const QList<Placed> adultCase{
    {18, SymbolId::ImpactedTooth, 0},      {17, SymbolId::AmalgamMOD, 0b00111},
    {16, SymbolId::Crown, 0},              {15, SymbolId::CompositeMesial, 0b00010},
    {14, SymbolId::RootCanalFilling, 0},   {13, SymbolId::PeriapicalLesion, 0},
    {12, SymbolId::Veneer, 0b01000},       {11, SymbolId::Fracture, 0},
    {48, SymbolId::Extraction, 0},         {47, SymbolId::AmalgamOcclusal, 0b00001},
    {46, SymbolId::BridgeAbutment, 0},     {45, SymbolId::BridgePontic, 0},
    {44, SymbolId::BridgeAbutment, 0},     {44, SymbolId::PostAndCore, 0},
    {43, SymbolId::CariesCervical, 0b01000}, {42, SymbolId::OrthodonticBracket, 0},
    {41, SymbolId::Mobility, 0},           {21, SymbolId::CompositeCervical, 0b01000},
    {22, SymbolId::CariesMesial, 0b00010}, {23, SymbolId::Abrasion, 0},
    {24, SymbolId::AmalgamDistoOcclusal, 0b00101}, {25, SymbolId::InlayOnlay, 0b00001},
    {26, SymbolId::Implant, 0},            {27, SymbolId::CariesOcclusal, 0b00001},
    {28, SymbolId::MissingTooth, 0},       {31, SymbolId::CariesDistal, 0b00100},
    {32, SymbolId::PartialDenture, 0},     {33, SymbolId::FullDenture, 0},
    {34, SymbolId::CompositeOcclusal, 0b00001}, {35, SymbolId::TemporaryFilling, 0b00001},
    {36, SymbolId::RootCanalFilling, 0},   {36, SymbolId::Crown, 0},
    {37, SymbolId::Sealant, 0b00001},      {38, SymbolId::CompositeDistal, 0b10100},
    {0, SymbolId::Crown, 0},
};

const QList<Placed> babyCase{
    {55, SymbolId::AmalgamMOD, 0b00111}, {54, SymbolId::CariesOcclusal, 0b00001},
    {53, SymbolId::Extraction, 0},       {52, SymbolId::CompositeMesial, 0b00010},
    {51, SymbolId::Fracture, 0},         {85, SymbolId::Crown, 0},
    {84, SymbolId::RootCanalFilling, 0}, {83, SymbolId::MissingTooth, 0},
    {82, SymbolId::CariesCervical, 0},   {81, SymbolId::Mobility, 0},
    {61, SymbolId::Veneer, 0},           {62, SymbolId::CariesDistal, 0b00100},
    {63, SymbolId::PeriapicalLesion, 0}, {64, SymbolId::Sealant, 0b00001},
    {65, SymbolId::AmalgamMesioOcclusal, 0b00011}, {71, SymbolId::OrthodonticBracket, 0},
    {72, SymbolId::Abrasion, 0},         {73, SymbolId::CompositeCervical, 0},
    {74, SymbolId::TemporaryFilling, 0b00001}, {75, SymbolId::BridgePontic, 0},
};

bool transparentOf(SymbolId id)
{
    for (const clinical::SymbolInfo& info : clinical::SymbolCatalog)
        if (info.id == id)
            return info.transparent;
    return true;
}

QImage strip(const QDir& dir, const QString& name, const QList<Placed>& placed)
{
    const widgets::RegionPackage pkg = widgets::ReadRegionPackage(dir.filePath(name));
    QHash<int, QColor> fills;
    for (const Placed& p : placed)
        for (int k = 0; k < clinical::SurfaceCount; ++k)
            if (p.surfaces & (1 << k)) {
                const int region = pkg.find(clinical::SurfaceRegionName(p.tooth, k));
                if (region >= 0)
                    fills.insert(region, QColor(255, 0, 0));
            }
    return widgets::RenderRegions(pkg, fills);
}

QImage previewChart(const QDir& dir, ChartKind kind, const QList<Placed>& placed)
{
    const auto pictures = clinical::ChartPictures::load(dir.path());
    const clinical::TSymbolContainer library(dir.filePath(clinical::artwork::symbolData()),
                                             dir.filePath(clinical::artwork::symbolIndex()));
    QImage chart = pictures.cleanChart(kind).copy();
    bool fullMouth = false;
    for (const Placed& p : placed) {
        const int index = clinical::ToothIndexOf(p.tooth, kind);
        if (index < 0)
            throw std::runtime_error("preview places a symbol on a tooth the chart does not have");
        if (index == clinical::WholeMouthIndex && kind == ChartKind::Baby)
            continue;
        fullMouth |= index == clinical::WholeMouthIndex;
        clinical::DrawSymbolOnTooth(chart, kind, pictures, library, clinical::ToInt(p.symbol), index,
                                    transparentOf(p.symbol));
    }
    clinical::DrawFullMouth(chart, pictures, fullMouth);
    {
        QPainter m(&chart);
        const int notes = clinical::ToothIndexOf(kind == ChartKind::Adult ? 16 : 54, kind);
        const int images = clinical::ToothIndexOf(kind == ChartKind::Adult ? 36 : 74, kind);
        m.drawImage(clinical::ToothOrigin(notes, kind) + QPoint(10, 2), pictures.marker(0));
        m.drawImage(QPoint(clinical::ToothOrigin(images, kind).x() + 3, chart.height() - 20), pictures.marker(1));
        m.drawImage(QPoint(clinical::ToothOrigin(notes, kind).x() + 6, chart.height() / 2 - 23), pictures.marker(2));
    }

    const bool adult = kind == ChartKind::Adult;
    const QImage top = strip(dir, adult ? clinical::artwork::upperStrip() : clinical::artwork::upperBabyStrip(), placed);
    const QImage bottom = strip(dir, adult ? clinical::artwork::lowerStrip() : clinical::artwork::lowerBabyStrip(), placed);
    QImage out(chart.width(), top.height() + chart.height() + bottom.height(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, top);
    p.drawImage(0, top.height(), chart);
    p.drawImage(0, top.height() + chart.height(), bottom);
    return out;
}

void save(const QImage& image, const QDir& dir, const QString& name)
{
    if (!image.save(dir.filePath(name)))
        throw std::runtime_error(qPrintable(QStringLiteral("cannot write %1").arg(dir.filePath(name))));
}

// The small pictures side by side, enlarged.
QImage sheet(const QDir& dir)
{
    namespace files = clinical::artwork;
    QImage out(900, 520, QImage::Format_RGB32);
    out.fill(QColor(236, 238, 242));
    QPainter p(&out);
    for (int g = 1; g <= 12; ++g)
        p.drawImage(QRect(10 + (g - 1) * 72, 10, 64, 64), QImage(dir.filePath(files::groupTool(g))));
    p.drawImage(QRect(10, 90, 262 * 1.5, 92 * 1.5), QImage(dir.filePath(files::dentalLogo())));
    p.drawImage(QRect(420, 90, 262 * 1.5, 92 * 1.5), QImage(dir.filePath(files::medicalLogo())));
    p.drawImage(10, 240, QImage(dir.filePath(files::splashBanner())));
    for (int k = 0; k < 3; ++k)
        p.drawImage(QRect(480 + k * 60, 240, 38, 36), QImage(dir.filePath(files::marker(k))));
    p.drawImage(QRect(660, 240, 68, 82), QImage(dir.filePath(files::fullMouthEmpty())));
    p.drawImage(QRect(740, 240, 68, 82), QImage(dir.filePath(files::fullMouthFull())));
    const widgets::RegionPackage editor = widgets::ReadRegionPackage(dir.filePath(files::surfaceEditor()));
    p.drawImage(10, 330, widgets::RenderRegions(editor, {{0, QColor(255, 0, 0)}, {3, QColor(255, 0, 0)}}));
    p.drawImage(QRect(180, 330, 33 * 1.1, 160 * 1.1), QImage(dir.filePath(files::perioOneUp())));
    return out;
}

} // namespace

void WritePreviews(const QString& programDir, const QString& outDir)
{
    const QDir in(programDir), out(outDir);
    save(sheet(in), out, QStringLiteral("sheet.png"));
    save(QImage(in.filePath(clinical::artwork::perioAll())), out, QStringLiteral("perio.png"));
    for (const auto& [kind, name, placed] : {std::tuple{ChartKind::Adult, QStringLiteral("adult"), adultCase},
                                             std::tuple{ChartKind::Baby, QStringLiteral("baby"), babyCase}}) {
        const QImage chart = previewChart(in, kind, placed);
        save(chart, out, QStringLiteral("chart_%1.png").arg(name));
        save(chart.scaled(chart.size() * 2), out, QStringLiteral("chart_%1_x2.png").arg(name));
        save(chart.copy(0, 37, 271, 146).scaled(271 * 4, 146 * 4), out, QStringLiteral("chart_%1_upper_right.png").arg(name));
        save(chart.copy(271, 37 + 146, 271, 146).scaled(271 * 4, 146 * 4), out,
             QStringLiteral("chart_%1_lower_left.png").arg(name));
    }
}

} // namespace artwork

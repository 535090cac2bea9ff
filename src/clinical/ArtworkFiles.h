#pragma once

#include <QString>

// Names of the pictures and data files the build puts beside the program.
namespace clinical::artwork {

inline QString adultChart() { return QStringLiteral("BM_ALL_TEETH.png"); }
inline QString babyChart() { return QStringLiteral("BM_BABE_TEETH.png"); }
inline QString adultTooth(int slot) { return QStringLiteral("TOOTH%1.png").arg(slot); }
inline QString babyTooth(int index) { return QStringLiteral("BTOOTH%1.png").arg(index); }
inline QString fullMouthFull() { return QStringLiteral("FULLMOUTHFULL.png"); }
inline QString fullMouthEmpty() { return QStringLiteral("FULLMOUTHEMPTY.png"); }
// 19 x 18 markers: 0 notes, 1 images, 2 colour.
inline QString marker(int icon) { return QStringLiteral("MARKER%1.png").arg(icon); }
inline QString groupTool(int group) { return QStringLiteral("GROUP%1.png").arg(group); }
inline QString dentalLogo() { return QStringLiteral("ORVANELOGO.png"); }
inline QString medicalLogo() { return QStringLiteral("TELVILOGO.png"); }
inline QString splashBanner() { return QStringLiteral("SPLASHTOP.png"); }
inline QString perioAll() { return QStringLiteral("PerioAll.bmp"); }
inline QString perioOneUp() { return QStringLiteral("PerioOneUp.bmp"); }
inline QString perioOneDown() { return QStringLiteral("PerioOneDown.bmp"); }
inline QString perioNotes() { return QStringLiteral("PerioNotes.png"); }
inline QString symbolData() { return QStringLiteral("SYMBOLS.DAT"); }
inline QString symbolIndex() { return QStringLiteral("SYMBOLS.IDX"); }
inline QString upperStrip() { return QStringLiteral("Upper.pkg"); }
inline QString lowerStrip() { return QStringLiteral("Lower.pkg"); }
inline QString upperBabyStrip() { return QStringLiteral("UpperBaby.pkg"); }
inline QString lowerBabyStrip() { return QStringLiteral("LowerBaby.pkg"); }
inline QString surfaceEditor() { return QStringLiteral("MasitikesGen.pkg"); }

inline constexpr int MarkerWidth = 19;
inline constexpr int MarkerHeight = 18;
inline constexpr int FullMouthWidth = 34;
inline constexpr int FullMouthHeight = 41;
inline constexpr int StripHeight = 37;
inline constexpr int LogoWidth = 262;
inline constexpr int LogoHeight = 92;
inline constexpr int PerioWidth = 592;  // 16 columns of 37
inline constexpr int PerioHeight = 392; // lowest marks reach y 366 + text, the tooth numbers below
inline constexpr int PerioOneWidth = 33;
inline constexpr int PerioOneHeight = 160;
inline constexpr int PerioNotesWidth = 16; // fits above the upper and below the lower numbers
inline constexpr int PerioNotesHeight = 14;

} // namespace clinical::artwork

#pragma once

// The names under which the two automation objects meet on the session bus.
namespace app::automation {

inline constexpr const char* kService = "org.orvane.Pallavor99";
inline constexpr const char* kPath = "/Pallavor99Auto";
inline constexpr const char* kInterface = "org.orvane.IPallavor99Auto";

inline constexpr const char* kVisionService = "org.orvane.PallavorVision99";
inline constexpr const char* kVisionPath = "/PallavorVision99Auto";
inline constexpr const char* kVisionInterface = "org.orvane.IPallavorVision99Auto";

} // namespace app::automation

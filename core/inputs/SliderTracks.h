#pragma once
// The window's sliders as the settings hold them: a marker's position is a
// window pixel on its track, and the covers, the sizes of trees and rocks
// and the window all read positions by these tracks.
//
// A single marker travels 80 pixels from its track's start (values 0 to
// 100). The two markers of a range are 6 pixels wide each and keep at least
// that distance; the right one starts and ends 6 pixels later, so a range's
// positions run 86 pixels from the start.
#include <cstdint>

namespace kv {

inline constexpr std::int32_t kMarkerWidth = 6;
inline constexpr std::int32_t kMarkerTravel = 80;

// Where each track starts: the covers' altitude, slope and density sliders,
// and the tree and rock size sliders.
inline constexpr std::int32_t kCover1TrackStart = 115;
inline constexpr std::int32_t kCover2TrackStart = 214;
inline constexpr std::int32_t kSizeTrackStart = 415;

// The last position of a single marker, and of the right marker of a range.
constexpr std::int32_t SingleMarkerEnd(std::int32_t start) { return start + kMarkerTravel; }
constexpr std::int32_t RangeMarkerEnd(std::int32_t start) { return start + kMarkerTravel + kMarkerWidth; }

}  // namespace kv

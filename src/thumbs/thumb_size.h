#pragma once
// The size of every thumbnail: the picture files, the cache slots, the tiles
// of the thumbnail view and the thumbnail corner.

namespace velmora {

inline constexpr int ThumbWidth = 130;
inline constexpr int ThumbHeight = 100;

} // namespace velmora

#pragma once
#include <string>

namespace kv::datagen {

// The foliage cards, 32-bit pictures with alpha (foliage opaque, the gaps
// between leaves transparent): ever.tga and fir.tga (branch sprays of the
// evergreen and the fir), palmleaf.tga (a palm frond) and fern.tga (a fern
// frond). Each card is drawn with its base at the bottom row and its tip at
// the top, its midrib or stem along the vertical centre.
bool GenerateFoliageCards(const std::string& out);

}  // namespace kv::datagen

// Placeholder until stock texture installation is written.
#include "scene/StockTextures.h"

namespace kv {

void InstallStockTextures(CreationContext&) {}

}  // namespace kv

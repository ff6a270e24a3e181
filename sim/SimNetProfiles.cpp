// Items of the network base units, by the first four characters of the model text.
#include "sim/SimUnit.h"

namespace sim {

void LoadNetworkProfile(SimUnit &) {}

} // namespace sim

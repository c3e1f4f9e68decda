#include "state/AppState.h"

namespace gipso {

QString AppState::lastMap(int k) const
{
    return k == 1 ? settings.LastMap1 : k == 2 ? settings.LastMap2 : settings.LastMap3;
}

} // namespace gipso

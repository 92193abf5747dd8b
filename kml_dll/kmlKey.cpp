#include "kmlKey.h"

template class kmlKey<kmlVec<3>>;
template class kmlKey<kmlQuat>;

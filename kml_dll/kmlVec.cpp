#include "kmlVec.h"

// The vector types live in this library; users see them through the
// extern declarations in the header.
template class kmlVec<2>;
template class kmlVec<3>;
template class kmlVec<4>;

#include "kgiView.h"

kgiView::~kgiView() = default;

#include "ksgAction.h"

bool ksgAction::exec(ksgNode*) { return false; }

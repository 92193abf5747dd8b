#include "kgiTimeoutAction.h"

FXDEFMAP(kgiTimeoutAction) kgiTimeoutActionMap[] = {
    FXMAPFUNC(FX::SEL_TIMEOUT, kgiTimeoutAction::ID_FIRE, kgiTimeoutAction::onFire),
};
FXIMPLEMENT(kgiTimeoutAction, FX::FXObject, kgiTimeoutActionMap, ARRAYNUMBER(kgiTimeoutActionMap))

long kgiTimeoutAction::onFire(FX::FXObject*, FX::FXSelector, void*)
{
    if (action)
        action();
    return 1;
}

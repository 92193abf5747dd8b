#include "ksgMotionControllerKinds.h"

#define KSG_MOTION_KIND(Kind)                                                                  \
    const kutRtti Kind::RTTI(#Kind, &ksgMotionController::RTTI);                               \
    const kutRtti* Kind::getRtti() const { return &RTTI; }                                     \
    Kind::Kind(float timeStep) : ksgMotionControllerKind(timeStep) {}

KSG_MOTION_KIND(ksgPController)
KSG_MOTION_KIND(ksgQController)
KSG_MOTION_KIND(ksgEController)
KSG_MOTION_KIND(ksgPQController)
KSG_MOTION_KIND(ksgPEController)

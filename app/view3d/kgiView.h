#pragma once
// A view class of the application's own over the scene graph's: it adds
// nothing, and the canvases use plain ksgView.
#include "ksgView.h"

class kgiView : public ksgView {
public:
    explicit kgiView(ksgVisualState& vs) : ksgView(vs) {}
    ~kgiView() override;
};

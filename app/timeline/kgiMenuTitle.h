#pragma once
// A menu title that does not open its pane while the pane is disabled. The
// toolkit's title opens a disabled pane, and the entries in it answer
// clicks whatever their pane's state, so a locked menu has to stay shut
// here. The title itself stays usable.
#include <fx.h>

class kgiMenuTitle : public FX::FXMenuTitle {
    FXDECLARE(kgiMenuTitle)

public:
    kgiMenuTitle(FX::FXComposite* parent, const FX::FXString& text, FX::FXIcon* icon = nullptr,
                 FX::FXPopup* pane = nullptr, FX::FXuint opts = 0);

    long onCmdPost(FX::FXObject*, FX::FXSelector, void*);

protected:
    // For the toolkit's class factory only.
    kgiMenuTitle() {}
};

#include "kgiMenuTitle.h"

FXDEFMAP(kgiMenuTitle) kgiMenuTitleMap[] = {
    FXMAPFUNC(FX::SEL_COMMAND, FX::FXWindow::ID_POST, kgiMenuTitle::onCmdPost),
};

FXIMPLEMENT(kgiMenuTitle, FX::FXMenuTitle, kgiMenuTitleMap, ARRAYNUMBER(kgiMenuTitleMap))

kgiMenuTitle::kgiMenuTitle(FX::FXComposite* parent, const FX::FXString& text, FX::FXIcon* icon,
                           FX::FXPopup* pane, FX::FXuint opts)
    : FX::FXMenuTitle(parent, text, icon, pane, opts) {}

long kgiMenuTitle::onCmdPost(FX::FXObject* sender, FX::FXSelector sel, void* ptr) {
    FX::FXPopup* pane = getMenu();
    if (pane && !pane->isEnabled()) return 1;
    return FX::FXMenuTitle::onCmdPost(sender, sel, ptr);
}

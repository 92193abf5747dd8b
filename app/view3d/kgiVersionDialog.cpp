#include "kgiVersionDialog.h"

using namespace FX;

FXDEFMAP(kgiVersionDialog) kgiVersionDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, kgiVersionDialog::ID_OK, kgiVersionDialog::onCmdOK),
};

FXIMPLEMENT(kgiVersionDialog, FXDialogBox, kgiVersionDialogMap, ARRAYNUMBER(kgiVersionDialogMap))

namespace {

// Title bar with minimise, maximise and close, and a border, but no
// resize handles.
const FXuint DECORATIONS = DECOR_TITLE | DECOR_MINIMIZE | DECOR_MAXIMIZE | DECOR_CLOSE | DECOR_BORDER;

} // namespace

kgiVersionDialog::kgiVersionDialog(FXWindow* owner, FXIcon* icon)
    : FXDialogBox(owner, "Version", DECORATIONS, 0, 0, 680, 220, 10, 10, 10, 10, 4, 4)
{
    build(icon);
}

kgiVersionDialog::kgiVersionDialog(FXApp* app, FXIcon* icon)
    : FXDialogBox(app, "Version", DECORATIONS, 0, 0, 680, 220, 10, 10, 10, 10, 4, 4)
{
    build(icon);
}

FXTopWindow* kgiVersionDialog::make(FXWindow* owner, FXIcon* icon)
{
    if (owner)
        return new kgiVersionDialog(owner, icon);
    return new kgiVersionDialog(FXApp::instance(), icon);
}

void kgiVersionDialog::build(FXIcon* icon)
{
    setIcon(icon);
    FXHorizontalFrame* frame = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXGroupBox* group = new FXGroupBox(frame, "Information", FRAME_RIDGE | LAYOUT_FILL_X, 0, 0, 0, 0, 4, 4, 4, 4);
    FXVerticalFrame* column = new FXVerticalFrame(group, FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y,
                                                  0, 0, 0, 0, 10, 10, 10, 10);
    FXHorizontalFrame* row = new FXHorizontalFrame(column, LAYOUT_FILL_X);
    new FXLabel(row, "Zodarovu 0 for DORUZAVO-1 \n Ver.0.01.04 \n ", nullptr, ICON_BEFORE_TEXT);
    new FXButton(column, "OK", nullptr, this, ID_OK, FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_BOTTOM,
                 0, 0, 0, 0, 2, 2, 2, 2);
}

long kgiVersionDialog::onCmdOK(FXObject*, FXSelector, void*)
{
    hide();
    return 1;
}

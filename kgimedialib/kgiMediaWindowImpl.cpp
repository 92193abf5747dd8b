#include "kgiMediaWindowImpl.h"

#include "kgiMovieDlg.h"

namespace kgi {

kgiMediaWindowImpl::kgiMediaWindowImpl(FX::FXApp* app, FX::FXWindow* parent)
{
    dlg = new kgiMovieDlg(app, parent, &dlg);
    dlg->create();
}

kgiMediaWindowImpl::~kgiMediaWindowImpl()
{
    // The dialog may already be gone with its application; then dlg is null.
    delete dlg;
}

bool kgiMediaWindowImpl::show()
{
    if (!dlg)
        return false;
    dlg->show();
    return true;
}

bool kgiMediaWindowImpl::hide()
{
    if (!dlg)
        return false;
    dlg->hide();
    return true;
}

bool kgiMediaWindowImpl::move(int x, int y)
{
    if (!dlg)
        return false;
    // A placement made for the window ends the borderless screen first.
    dlg->restoreWindowed();
    dlg->move(x, y);
    return true;
}

bool kgiMediaWindowImpl::resize(int width, int height)
{
    if (!dlg)
        return false;
    // The borderless screen ends first; X refuses windows of no size.
    dlg->restoreWindowed();
    dlg->resize(width < 1 ? 1 : width, height < 1 ? 1 : height);
    return true;
}

bool kgiMediaWindowImpl::getPosition(int* x, int* y)
{
    if (!dlg)
        return false;
    if (x)
        *x = dlg->getX();
    if (y)
        *y = dlg->getY();
    return true;
}

bool kgiMediaWindowImpl::getSize(int* width, int* height)
{
    if (!dlg)
        return false;
    if (width)
        *width = dlg->getWidth();
    if (height)
        *height = dlg->getHeight();
    return true;
}

std::uintptr_t kgiMediaWindowImpl::nativeHandle() const
{
    return dlg ? dlg->nativeHandle() : 0;
}

void kgiMediaWindowImpl::attachRenderer(GstElement* renderer, int videoWidth, int videoHeight)
{
    if (dlg)
        dlg->attach(renderer, videoWidth, videoHeight);
}

void kgiMediaWindowImpl::detachRenderer(GstElement* renderer)
{
    if (dlg)
        dlg->detach(renderer);
}

void kgiMediaWindowImpl::setTitleName(const std::string& name)
{
    if (dlg)
        dlg->setTitleName(name);
}

} // namespace kgi

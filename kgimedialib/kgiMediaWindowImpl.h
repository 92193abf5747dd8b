#pragma once
// The library's video window behind the kgiMediaWindow interface, and the
// side of it that movie tracks use.
#include "kgiMediaWindow.h"

#include <cstdint>
#include <string>

typedef struct _GstElement GstElement;
namespace FX { class FXApp; class FXWindow; }

namespace kgi {

class kgiMovieDlg;

class kgiMediaWindowImpl : public kgiMediaWindow
{
public:
    // Makes and realises the dialog in app (which must have its display
    // open), owned by parent when one is given.
    kgiMediaWindowImpl(FX::FXApp* app, FX::FXWindow* parent);
    ~kgiMediaWindowImpl() override;

    bool show() override;
    bool hide() override;
    bool move(int x, int y) override;
    bool resize(int width, int height) override;
    bool getPosition(int* x, int* y) override;
    bool getSize(int* width, int* height) override;

    // The library's window, or null (kept by CreateMediaWindow).
    static kgiMediaWindowImpl* current();

    // For movie tracks; all harmless without a dialog.
    std::uintptr_t nativeHandle() const;
    void attachRenderer(GstElement* renderer, int videoWidth, int videoHeight);
    void detachRenderer(GstElement* renderer);
    void setTitleName(const std::string& name);

    // Null when the dialog is gone.
    kgiMovieDlg* dialog() const { return dlg; }

private:
    kgiMovieDlg* dlg = nullptr;
};

} // namespace kgi

#include "kgiImeComposition.h"

#include "kgiTextCaret.h"

#include <FXComposeContext.h>

#include <algorithm>

namespace {

// The toolkit's compose context keeps its X input context in a member of
// its base that has no setter; a pointer to the member, formed in a
// subclass, lets the context take the one made here. The toolkit then
// focuses, translates through and finally destroys that one as its own.
struct kgiContextId : FX::FXComposeContext {
    static FX::FXID FX::FXId::*member() { return &kgiContextId::xid; }
};

void* handle(FX::FXID id) { return reinterpret_cast<void*>(id); }

FX::FXFont* fontOf(const FX::FXWindow* widget)
{
    if (widget->isMemberOf(FXMETACLASS(FX::FXText)))
        return static_cast<const FX::FXText*>(widget)->getFont();
    if (widget->isMemberOf(FXMETACLASS(FX::FXTextField)))
        return static_cast<const FX::FXTextField*>(widget)->getFont();
    return nullptr;
}

} // namespace

kgiImeComposition::~kgiImeComposition()
{
    // Without the display the font sets went with it.
    if (app.getDisplay() != nullptr)
        fontSets.clear();
}

FX::FXWindow* kgiImeComposition::focusedWidget(FX::FXWindow* window)
{
    if (window == nullptr)
        return nullptr;
    while (FX::FXWindow* inner = window->getFocus())
        window = inner;
    return window;
}

FX::FXComposeContext* kgiImeComposition::contextOf(FX::FXWindow* widget) const
{
    FX::FXComposeContext* context = widget ? widget->getComposeContext() : nullptr;
    return context && context->id() ? context : nullptr;
}

void* kgiImeComposition::fontSetFor(FX::FXWindow* widget)
{
    FX::FXFont* font = fontOf(widget);
    if (font == nullptr || font->id() == 0)
        return nullptr;
    const FX::FXuint slant = font->getActualSlant();
    const std::string names =
        platform::preeditFontNames(font->getActualName().text(), font->getActualWeight() >= FX::FXFont::DemiBold,
                                   slant == FX::FXFont::Italic || slant == FX::FXFont::Oblique,
                                   font->getFontHeight());
    return fontSets.get(app.getDisplay(), names);
}

void kgiImeComposition::place(FX::FXWindow* widget)
{
    FX::FXComposeContext* context = contextOf(widget);
    if (context == nullptr)
        return;
    FX::FXPoint spot(0, 0);
    kgiCaretSpot(widget, spot);
    auto known = std::find_if(contexts.begin(), contexts.end(), [&](const Context& c) {
        return c.context == context && c.id == context->id();
    });
    if (known == contexts.end()) {
        void* fontSet = fontSetFor(widget);
        const FX::FXID old = context->id();
        bool placing = platform::isSpotContext(handle(old));
        if (!placing) {
            if (void* made = platform::createSpotContext(handle(old), widget->id(), fontSet, spot.x, spot.y)) {
                context->*kgiContextId::member() = reinterpret_cast<FX::FXID>(made);
                platform::destroyContext(handle(old));
                placing = true;
            }
        }
        // The toolkit focuses a context only when its widget next gains the
        // focus, so one made while the widget already had it (a click into
        // a field of the active window) would not see the widget's keys.
        if (widget->hasFocus())
            context->focusIn();
        contexts.push_back({context, context->id(), placing, spot, fontSet, true});
        return;
    }
    known->seen = true;
    if (!known->placing)
        return;
    if (spot.x != known->spot.x || spot.y != known->spot.y) {
        context->setSpot(spot.x, spot.y);
        known->spot = spot;
    }
    void* fontSet = fontSetFor(widget);
    if (fontSet && fontSet != known->fontSet) {
        platform::setContextFont(handle(context->id()), fontSet);
        known->fontSet = fontSet;
    }
}

bool kgiImeComposition::filterKey(FX::FXRawEvent& ev)
{
    if (!app.hasInputMethod())
        return false;
    const FX::FXID eventWindow = platform::keyEventWindow(&ev);
    FX::FXWindow* window = eventWindow ? app.findWindowWithId(eventWindow) : nullptr;
    if (window == nullptr)
        return false;
    FX::FXWindow* shell = window->getShell();
    // Keys for windows a modal one blocks are the toolkit's to refuse.
    FX::FXWindow* modal = app.getModalWindow();
    if (modal && modal != shell && !modal->isOwnerOf(shell))
        return false;
    FX::FXWindow* widget = focusedWidget(shell);
    // A key for the widget's own window went through the method already.
    if (widget == window || !kgiIsTextWidget(widget) || contextOf(widget) == nullptr)
        return false;
    place(widget);
    if (!platform::filterKeyEvent(&ev, widget->id()))
        return false;
    target = widget;
    targetWindow = widget->id();
    return true;
}

void kgiImeComposition::afterEvent()
{
    if (!app.hasInputMethod()) {
        target = nullptr;
        targetWindow = 0;
        return;
    }
    for (Context& c : contexts)
        c.seen = false;
    if (FX::FXWindow* root = app.getRootWindow()) {
        for (FX::FXWindow* shell = root->getFirst(); shell; shell = shell->getNext()) {
            FX::FXWindow* widget = focusedWidget(shell);
            if (widget != shell && kgiIsTextWidget(widget))
                place(widget);
        }
    }
    contexts.erase(std::remove_if(contexts.begin(), contexts.end(), [](const Context& c) { return !c.seen; }),
                   contexts.end());

    FX::FXWindow* focused = focusedWidget(app.getActiveWindow());
    FX::FXWindow* now = kgiIsTextWidget(focused) && contextOf(focused) ? focused : nullptr;
    if (target && now != target)
        closeTarget();
    if (now) {
        target = now;
        targetWindow = now->id();
    }
}

void kgiImeComposition::closeTarget()
{
    // A widget that has gone is no longer registered under its window.
    if (target && targetWindow && app.findWindowWithId(targetWindow) == target)
        if (FX::FXComposeContext* context = contextOf(target))
            platform::resetContext(handle(context->id()));
    target = nullptr;
    targetWindow = 0;
}

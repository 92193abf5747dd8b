#include "platform/inputmethod.h"

#include <X11/Xlib.h>

#include <clocale>
#include <cstdlib>

namespace platform {

std::string keepOnlyCharacterLocale()
{
    std::setlocale(LC_ALL, "C");
    const char* name = std::setlocale(LC_CTYPE, "");
    if (name == nullptr)
        name = std::setlocale(LC_CTYPE, nullptr);
    return name ? name : "C";
}

std::string preeditFontNames(const std::string& family, bool bold, bool italic, int pixelSize)
{
    std::string name;
    for (char c : family)
        if (c != ',' && c != '-' && c != '*' && c != '?')
            name += c;
    const std::string weight = bold ? "bold" : "medium";
    const std::string slant = italic ? "i" : "r";
    const int size = pixelSize > 0 ? pixelSize : 14;
    // The nearest sizes, one step either way at a time.
    std::vector<int> sizes{size};
    for (int step = 1; step <= 4; ++step) {
        if (size - step > 0)
            sizes.push_back(size - step);
        sizes.push_back(size + step);
    }
    std::string list;
    auto add = [&list](const std::string& pattern) {
        if (!list.empty())
            list += ',';
        list += pattern;
    };
    if (!name.empty())
        add("-*-" + name + "-" + weight + "-" + slant + "-*--" + std::to_string(size) + "-*-*-*-*-*-*-*");
    for (int s : sizes)
        add("-*-*-" + weight + "-" + slant + "-*--" + std::to_string(s) + "-*-*-*-*-*-*-*");
    for (int s : sizes)
        add("-*-*-*-*-*--" + std::to_string(s) + "-*-*-*-*-*-*-*");
    add("-*-*-*-*-*--*-*-*-*-*-*-*-*");
    return list;
}

PreeditFontSets::~PreeditFontSets()
{
    clear();
}

void* PreeditFontSets::get(void* display, const std::string& baseNames)
{
    if (display == nullptr || baseNames.empty())
        return nullptr;
    for (const Entry& e : entries)
        if (e.display == display && e.names == baseNames)
            return e.fontSet;
    char** missing = nullptr;
    int missingCount = 0;
    char* defaultText = nullptr;
    XFontSet set =
        XCreateFontSet(static_cast<Display*>(display), baseNames.c_str(), &missing, &missingCount, &defaultText);
    if (missing)
        XFreeStringList(missing);
    entries.push_back({display, baseNames, set});
    return set;
}

void PreeditFontSets::clear()
{
    for (const Entry& e : entries)
        if (e.fontSet)
            XFreeFontSet(static_cast<Display*>(e.display), static_cast<XFontSet>(e.fontSet));
    entries.clear();
}

void* createSpotContext(void* context, unsigned long window, void* fontSet, int x, int y)
{
    if (context == nullptr || fontSet == nullptr || window == 0)
        return nullptr;
    XIM method = XIMOfIC(static_cast<XIC>(context));
    if (method == nullptr)
        return nullptr;
    XIMStyles* styles = nullptr;
    if (XGetIMValues(method, XNQueryInputStyle, &styles, nullptr) != nullptr || styles == nullptr)
        return nullptr;
    // Pre-edit at the spot; no status, or status wherever the method likes.
    XIMStyle chosen = 0;
    for (XIMStyle wanted : {XIMStyle(XIMPreeditPosition | XIMStatusNothing),
                            XIMStyle(XIMPreeditPosition | XIMStatusNone)}) {
        for (unsigned short i = 0; i < styles->count_styles && chosen == 0; ++i)
            if (styles->supported_styles[i] == wanted)
                chosen = wanted;
    }
    XFree(styles);
    if (chosen == 0)
        return nullptr;
    XPoint spot;
    spot.x = static_cast<short>(x);
    spot.y = static_cast<short>(y);
    XVaNestedList preedit =
        XVaCreateNestedList(0, XNSpotLocation, &spot, XNFontSet, static_cast<XFontSet>(fontSet), nullptr);
    XIC made = XCreateIC(method, XNInputStyle, chosen, XNClientWindow, static_cast<Window>(window), XNFocusWindow,
                         static_cast<Window>(window), XNPreeditAttributes, preedit, nullptr);
    XFree(preedit);
    return made;
}

void destroyContext(void* context)
{
    if (context)
        XDestroyIC(static_cast<XIC>(context));
}

bool isSpotContext(void* context)
{
    XIMStyle style = 0;
    if (context == nullptr || XGetICValues(static_cast<XIC>(context), XNInputStyle, &style, nullptr) != nullptr)
        return false;
    return (style & XIMPreeditPosition) != 0;
}

void setContextFont(void* context, void* fontSet)
{
    if (context == nullptr || fontSet == nullptr)
        return;
    XVaNestedList preedit = XVaCreateNestedList(0, XNFontSet, static_cast<XFontSet>(fontSet), nullptr);
    XSetICValues(static_cast<XIC>(context), XNPreeditAttributes, preedit, nullptr);
    XFree(preedit);
}

void resetContext(void* context)
{
    if (context == nullptr)
        return;
    // The reset answers the dropped text, which is not wanted.
    if (char* dropped = XmbResetIC(static_cast<XIC>(context)))
        XFree(dropped);
}

unsigned long keyEventWindow(const void* event)
{
    const XEvent* ev = static_cast<const XEvent*>(event);
    if (ev == nullptr || (ev->type != KeyPress && ev->type != KeyRelease))
        return 0;
    return ev->xany.window;
}

bool filterKeyEvent(void* event, unsigned long window)
{
    XEvent* ev = static_cast<XEvent*>(event);
    if (ev == nullptr || window == 0 || (ev->type != KeyPress && ev->type != KeyRelease))
        return false;
    if (ev->xany.window == static_cast<Window>(window))
        return false;
    return XFilterEvent(ev, static_cast<Window>(window)) != False;
}

} // namespace platform

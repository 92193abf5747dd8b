#pragma once
// The shared half of an in-canvas tool bar: the buttons, that is the loaded
// pictures, kept once for every view of one kind. Each view gets its own
// bar of button states from createBar() (kgiButtonBar.h), bound to that
// view's commands.
//
// The template is instantiated once, over the 3D canvas; the concrete tool
// bar (kgiCanvasToolBar.h) says which buttons there are and what they call.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kgiToolButton.h"

class kgiButtonBar;

template <class T>
class kgiToolbar {
public:
    // 0: placed from the bar's left edge; 1: from its right edge.
    using Entry = std::pair<std::unique_ptr<kgiToolbarButton>, int>;

    kgiToolbar() = default;
    // Builds the buttons at once from the pictures of imageFolder. Note that
    // a constructor reaches only this class's createButtons, which does
    // nothing: a derived tool bar fills itself after construction.
    explicit kgiToolbar(const std::string& imageFolder) { createButtons(imageFolder); }
    virtual ~kgiToolbar() = default;
    kgiToolbar(const kgiToolbar&) = delete;
    kgiToolbar& operator=(const kgiToolbar&) = delete;

    // Makes the buttons and loads their pictures from imageFolder.
    virtual void createButtons(const std::string& /*imageFolder*/) {}
    // A new bar for target (the caller owns it): one state per button, in
    // list order, bound to the target's commands and laid out for
    // (width, height).
    virtual kgiButtonBar* createBar(T* target, int width, int height, int spacingX, int spacingY,
                                    int marginLeft, int marginRight, int marginBottom,
                                    int marginTop) = 0;

    // The list owns its buttons.
    void addButton(kgiToolbarButton* button, int alignRight)
    {
        buttons.emplace_back(std::unique_ptr<kgiToolbarButton>(button), alignRight ? 1 : 0);
    }
    bool isEmpty() const { return buttons.empty(); }
    int getButtonCount() const { return static_cast<int>(buttons.size()); }
    // Null outside the list.
    kgiToolbarButton* getButton(int index) const
    {
        return index >= 0 && index < getButtonCount() ? buttons[static_cast<size_t>(index)].first.get()
                                                      : nullptr;
    }
    int getAlignRight(int index) const
    {
        return index >= 0 && index < getButtonCount() ? buttons[static_cast<size_t>(index)].second : 0;
    }
    // Deletes every button. States made on them must be gone first.
    void clear() { buttons.clear(); }

protected:
    std::vector<Entry> buttons;
};

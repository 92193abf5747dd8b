#pragma once
// The robot information window: the ten values of the controller board's
// information record in two framed groups (rows 0-5, rows 6-9) and an OK
// button that hides it. The options window makes it, fills it once from a
// read of the board and relabels it on a language switch; the values are not
// refreshed while it is open. The texts come from kgiOptionsData, so the
// rules are tested without a display.
#include <fx.h>

#include <array>
#include <cstdint>

#include "kgiOptionsData.h"

class kgiApp;

// The application's language text of a key (UTF-8 for widgets); the key
// itself without an application.
FX::FXString kgiDialogText(const char* key);

class kgiInfoDialog : public FX::FXDialogBox {
    FXDECLARE(kgiInfoDialog)

public:
    enum {
        // The OK button (62).
        ID_OK = FX::FXDialogBox::ID_LAST,
        ID_LAST
    };
    static constexpr int ROWS = kgiOptionsData::INFO_ROWS;
    // Rows 0 to FIRST_GROUP_ROWS - 1 lie in the first group.
    static constexpr int FIRST_GROUP_ROWS = 6;

    // Builds the window at (x, y) with natural size; value labels empty.
    kgiInfoDialog(FX::FXWindow* owner, FX::FXIcon* icon, int x, int y, const FX::FXString& title);

    // Reads the board's record through the application (the session runs the
    // read to its end) and shows it; without a record (no session, a read
    // refused or unfinished) the labels stay as they are.
    void fill();
    // Shows the record's ten texts; null changes nothing.
    void fill(const std::uint32_t* words);
    // Title, both group titles and the ten captions again from the language
    // texts; the values stay.
    void applyLanguage();

    // What a test reads.
    FX::FXString getValueText(int row) const;
    FX::FXString getCaptionText(int row) const;
    FX::FXString getGroupText(int group) const;

    // Hides the window; 1.
    long onCmdOk(FX::FXObject* sender, FX::FXSelector sel, void* data);

protected:
    // For the toolkit's class factory only.
    kgiInfoDialog() {}

private:
    FX::FXButton* okButton = nullptr;
    std::array<FX::FXGroupBox*, 2> groups{};
    std::array<FX::FXLabel*, ROWS> captions{};
    std::array<FX::FXLabel*, ROWS> values{};
};

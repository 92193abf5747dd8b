#include "kgiInfoDialog.h"

#include "kgiApp.h"
#include "kgiLangKeys.h"
#include "kgiNarrowString.h"

using namespace FX;

FXDEFMAP(kgiInfoDialog) kgiInfoDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, kgiInfoDialog::ID_OK, kgiInfoDialog::onCmdOk),
};

FXIMPLEMENT(kgiInfoDialog, FXDialogBox, kgiInfoDialogMap, ARRAYNUMBER(kgiInfoDialogMap))

static_assert(kgiInfoDialog::ID_OK == 62, "the OK button's command is 62");

FXString kgiDialogText(const char* key)
{
    const kgiApp* app = kgiApp::instance();
    return app ? app->languageText(key) : FXString(key);
}

namespace {

const char* const CAPTION_KEYS[kgiInfoDialog::ROWS] = {
    kgiLangKey::ROBOT_COM_InfoParam0, kgiLangKey::ROBOT_COM_InfoParam1, kgiLangKey::ROBOT_COM_InfoParam2,
    kgiLangKey::ROBOT_COM_InfoParam3, kgiLangKey::ROBOT_COM_InfoParam4, kgiLangKey::ROBOT_COM_InfoParam5,
    kgiLangKey::ROBOT_COM_InfoParam6, kgiLangKey::ROBOT_COM_InfoParam7, kgiLangKey::ROBOT_COM_InfoParam8,
    kgiLangKey::ROBOT_COM_InfoParam9,
};
const char* const GROUP_KEYS[2] = {kgiLangKey::ROBOT_COM_InfoMenu0, kgiLangKey::ROBOT_COM_InfoMenu1};

// Title bar with minimise, maximise and close, and a border (no resize).
const FXuint DECORATIONS = DECOR_TITLE | DECOR_MINIMIZE | DECOR_MAXIMIZE | DECOR_CLOSE | DECOR_BORDER;
const FXuint LABEL_OPTIONS = ICON_BEFORE_TEXT | JUSTIFY_LEFT | LAYOUT_FILL;

} // namespace

kgiInfoDialog::kgiInfoDialog(FXWindow* owner, FXIcon* icon, int x, int y, const FXString& title)
    : FXDialogBox(owner, title, DECORATIONS, x, y, 0, 0, 10, 10, 10, 10, 4, 4)
{
    setIcon(icon);
    FXHorizontalFrame* outer = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4);
    FXVerticalFrame* column = new FXVerticalFrame(outer, LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4);
    for (int g = 0; g < 2; ++g) {
        groups[g] = new FXGroupBox(column, kgiDialogText(GROUP_KEYS[g]), FRAME_RIDGE | LAYOUT_FILL_X, 0, 0, 0, 0,
                                   4, 4, 4, 4, 4, 4);
        const int first = g == 0 ? 0 : FIRST_GROUP_ROWS;
        const int last = g == 0 ? FIRST_GROUP_ROWS : ROWS;
        for (int r = first; r < last; ++r) {
            FXHorizontalFrame* row = new FXHorizontalFrame(groups[g], LAYOUT_FILL_X, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4);
            // Caption and value share the row equally.
            const FXint weight = r == 0 ? 100 : 1;
            FXSpring* left = new FXSpring(row, LAYOUT_FILL_X | LAYOUT_FILL_Y, weight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4);
            FXSpring* right = new FXSpring(row, LAYOUT_FILL_X | LAYOUT_FILL_Y, weight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4);
            captions[r] = new FXLabel(left, kgiDialogText(CAPTION_KEYS[r]), nullptr, LABEL_OPTIONS, 0, 0, 0, 0, 2, 2, 2, 2);
            values[r] = new FXLabel(right, FXString::null, nullptr, LABEL_OPTIONS, 0, 0, 0, 0, 2, 2, 2, 2);
            values[r]->setBackColor(FXRGB(255, 255, 255));
        }
    }
    okButton = new FXButton(column, "OK", nullptr, this, ID_OK, FRAME_RAISED | LAYOUT_FILL_X, 0, 0, 0, 0, 2, 2, 2, 2);
}

void kgiInfoDialog::fill()
{
    kgiApp* app = kgiApp::instance();
    fill(app ? app->getRobotInfo() : nullptr);
}

void kgiInfoDialog::fill(const std::uint32_t* words)
{
    if (words == nullptr)
        return;
    const std::array<std::string, ROWS> texts = kgiOptionsData::infoTexts(words);
    for (int r = 0; r < ROWS; ++r) {
        // The file kind is the board's bytes, code page 932.
        values[r]->setText(r == kgiOptionsData::INFO_KIND_ROW ? kgiNarrowString::toWideText(texts[r])
                                                               : FXString(texts[r].c_str()));
    }
}

void kgiInfoDialog::applyLanguage()
{
    setTitle(kgiDialogText(kgiLangKey::ROBOT_COM_Infomation));
    for (int g = 0; g < 2; ++g)
        groups[g]->setText(kgiDialogText(GROUP_KEYS[g]));
    for (int r = 0; r < ROWS; ++r)
        captions[r]->setText(kgiDialogText(CAPTION_KEYS[r]));
}

FXString kgiInfoDialog::getValueText(int row) const
{
    return row >= 0 && row < ROWS ? values[row]->getText() : FXString::null;
}

FXString kgiInfoDialog::getCaptionText(int row) const
{
    return row >= 0 && row < ROWS ? captions[row]->getText() : FXString::null;
}

FXString kgiInfoDialog::getGroupText(int group) const
{
    return group >= 0 && group < 2 ? groups[group]->getText() : FXString::null;
}

long kgiInfoDialog::onCmdOk(FXObject*, FXSelector, void*)
{
    hide();
    return 1;
}

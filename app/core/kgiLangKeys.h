#pragma once
// The keys of the language files (settings/lang_eng.txt and
// settings/lang_jap.txt, one "Key=Text" line per key). Code names a text only
// through the constants below, never through a string literal, so a misspelt
// key fails to build instead of leaving a caption empty on screen. Each
// constant's text is its own name; the names are those the files use,
// misspellings included (Frame_Derete, ROBOT_COM_Infomation,
// ROBOT_COM_PlayRimocon, Wr_No_Data_Bfore), so they must not be "corrected".
//
// The key table is WINDOW_KEYS followed by APP_KEYS, 168 entries in the order
// the language reader tries them. A key's destination is the list that holds
// it and its slot is its index there: WINDOW_KEYS fill the main window's label
// slots, APP_KEYS the application's text table. Pose_Save and Pose_Load stand
// in both lists (one line of the file fills both slots), so there are 166
// distinct keys.
//
// Adding a key: add it to one of the two lists here and a line for it to both
// language sources (app/timeline/lang/); the language tests fail until both
// files have it.

// The main window's keys in table order; X(key) for each.
#define KGI_LANG_WINDOW_KEYS(X)                                                                    \
    X(File) X(File_New) X(File_Open) X(File_Save) X(File_Save_as) X(File_Add) X(File_Save_all)     \
    X(File_Save_all_as) X(File_Unload) X(File_Reset) X(File_Motion_Add) X(File_Quit)               \
    X(Import_PSF) X(Motion_Import) X(Motion_Export)                                                \
    X(View) X(View_New) X(View_New_Direct3D) X(View_Y_up) X(View_Z_up) X(View_Free_viewpoint)      \
    X(View_Centered_viewpoint) X(View_Media_Window)                                                \
    X(Pose) X(Pose_Undo) X(Pose_Redo) X(Pose_Reset) X(Pose_Local_flip) X(Pose_World_flip)          \
    X(Pose_Mirror_Mode) X(Pose_Save) X(Pose_Load)                                                  \
    X(Keys) X(Keys_Undo) X(Keys_Redo) X(Keys_Copy) X(Keys_Cut) X(Keys_Paste) X(Keys_Delete)        \
    X(Keys_Copy_range) X(Keys_Flip_range) X(Keys_Delete_range)                                     \
    X(Tools) X(Tool_Option) X(Tool_Curve_editor) X(Tool_Hand_controller) X(Tool_Media)             \
    X(Help) X(Help_Help) X(Help_About)                                                             \
    X(LangJPN) X(LangENG) X(Draw_Frame) X(Draw_MilliSec) X(Repeat) X(Auto_Return)

// The application's keys in table order, grouped by the windows that read
// them; X(key) for each, SHARED(key) for the two that WINDOW_KEYS holds too.
#define KGI_LANG_APP_KEYS(X, SHARED)                                                               \
    /* the help page, a path relative to the base directory */                                     \
    X(HelpFileName)                                                                                \
    /* 3D view pop-up menu */                                                                      \
    X(Hand_Open) X(Hand_Close) X(Subtree_mirror) X(Foot_Land) X(Ankle_Level) X(Set_Rev_Root)       \
    X(Reset_Rev_Root) X(Adjust_Prev_Key) SHARED(Pose_Save) SHARED(Pose_Load)                       \
    /* time-line pop-up menu */                                                                    \
    X(Frame_Copy) X(Frame_Cut) X(Frame_Paste) X(Frame_Derete)                                      \
    /* options dialog */                                                                           \
    X(Op_Colli) X(Op_Colli_Range) X(Op_Safety) X(Op_Grid) X(Op_Keys) X(Op_Keys_Max)                \
    X(Op_Keys_Count) X(Op_Rot) X(Op_Colors) X(Op_Color_Back) X(Op_Color_Grid) X(Op_Color_Colli)    \
    X(Op_Default) X(Op_Settings) X(Op_Add_base_part) X(Op_ABP_Body) X(Op_ABP_R_Foot)               \
    X(Op_ABP_L_Foot) X(Sample) X(Spl_Motion) X(Spl_Pose) X(Spl_Read) X(Spl_Add)                    \
    /* robot communication: options dialog, messages, robot information dialog */                  \
    X(ROBOT_COM) X(ROBOT_COM_Motion) X(ROBOT_COM_List_Read) X(ROBOT_COM_Read) X(ROBOT_COM_Add)     \
    X(ROBOT_COM_Write) X(ROBOT_COM_Play) X(ROBOT_COM_Stop) X(ROBOT_COM_Pose) X(ROBOT_COM_Teach)     \
    X(ROBOT_COM_All_Free) X(ROBOT_COM_Upper_Free) X(ROBOT_COM_Lower_Free) X(ROBOT_COM_AddList)     \
    X(ROBOT_COM_DelList) X(ROBOT_COM_WritePCC) X(ROBOT_COM_WriteIRC) X(ROBOT_COM_WriteTMP)         \
    X(ROBOT_COM_PlayRimocon) X(ROBOT_COM_No_Check) X(ROBOT_COM_No_OFF) X(ROBOT_COM_No_Free)        \
    X(ROBOT_COM_No_Open) X(ROBOT_COM_No_Reply) X(ROBOT_COM_Wr_BigData) X(ROBOT_COM_Wr_Memory)      \
    X(ROBOT_COM_Wr_Nonstop) X(ROBOT_COM_Wr_FallDown) X(ROBOT_COM_Wr_HoldRobot)                     \
    X(ROBOT_COM_Wr_ViolationCharacter) X(ROBOT_COM_Wr_SameName) X(ROBOT_COM_Wr_SetDifferentName)   \
    X(ROBOT_COM_Me_TransferFinish) X(ROBOT_COM_Me_PlayStart) X(ROBOT_COM_GrPose)                   \
    X(ROBOT_COM_Pose_Reflection) X(ROBOT_COM_Infomation) X(ROBOT_COM_InfoMenu0)                    \
    X(ROBOT_COM_InfoMenu1) X(ROBOT_COM_InfoParam0) X(ROBOT_COM_InfoParam1) X(ROBOT_COM_InfoParam2) \
    X(ROBOT_COM_InfoParam3) X(ROBOT_COM_InfoParam4) X(ROBOT_COM_InfoParam5) X(ROBOT_COM_InfoParam6) \
    X(ROBOT_COM_InfoParam7) X(ROBOT_COM_InfoParam8) X(ROBOT_COM_InfoParam9)                        \
    /* media */                                                                                    \
    X(Media) X(Media_Add) X(Media_Remove) X(Media_AlreadyAdd)                                      \
    /* questions, warnings and errors */                                                           \
    X(Me_File_SaveCheckT) X(Me_File_SaveCheck) X(Me_QuitCheck) X(Me_Confirmation) X(Wr_No_Data)   \
    X(Wr_OutOfRange) X(Wr_No_Data_Bfore) X(Wr_No_Data_Area) X(Wr_Load_fail) X(Wr_Keys_Max)         \
    X(Er_TS_fail) X(Er_KMD_File) X(Er_Media_Load) X(Er_Media_Func) X(Er_INI_Data_File)            \
    /* robot files of which no line, or only some lines, could be read */                          \
    X(Er_Robot_File) X(Wr_Lines_Skipped)                                                           \
    /* robot session outcomes: a failed download, no base image, a motion too long */              \
    X(ROBOT_COM_Wr_NotWritten)                                                                     \
    X(ROBOT_COM_Wr_TransferFail) X(ROBOT_COM_Wr_NoBaseImage) X(Wr_Motion_TooLong)                  \
    /* a typed name with a character that code page 932 lacks */                                   \
    X(Wr_Name_Code_Page)

namespace kgiLangKey {

#define KGI_LANG_DEFINE_KEY(key) inline constexpr char key[] = #key;
#define KGI_LANG_SKIP_KEY(key)
KGI_LANG_WINDOW_KEYS(KGI_LANG_DEFINE_KEY)
KGI_LANG_APP_KEYS(KGI_LANG_DEFINE_KEY, KGI_LANG_SKIP_KEY)
#undef KGI_LANG_DEFINE_KEY
#undef KGI_LANG_SKIP_KEY

#define KGI_LANG_LIST_KEY(key) key,
// The main window's label keys; the index is the label slot.
inline constexpr const char* WINDOW_KEYS[] = {KGI_LANG_WINDOW_KEYS(KGI_LANG_LIST_KEY)};
// The application's text-table keys; the index is the text slot.
inline constexpr const char* APP_KEYS[] = {KGI_LANG_APP_KEYS(KGI_LANG_LIST_KEY, KGI_LANG_LIST_KEY)};
#undef KGI_LANG_LIST_KEY

inline constexpr int WINDOW_KEY_COUNT = sizeof(WINDOW_KEYS) / sizeof(WINDOW_KEYS[0]);
inline constexpr int APP_KEY_COUNT = sizeof(APP_KEYS) / sizeof(APP_KEYS[0]);
// The window builds its 56 used label slots and the application its text
// table from these lists; a key added or lost here changes both.
static_assert(WINDOW_KEY_COUNT == 56, "the main window has 56 keyed label slots");
static_assert(APP_KEY_COUNT == 113, "the application's text table has 113 keyed slots");

} // namespace kgiLangKey

#pragma once
// Task-modal message boxes, the input box and the pointer's position.
// Caption and text are narrow strings in code page 932 (as the language
// table and the file names hold them); they are converted for the toolkit
// here. The boxes block until the user answers, so never call them from the
// idle pass while playback runs.
#include <string>

namespace FX {
class FXWindow;
}

// Shows the text with an OK button. Without a running GUI the message goes
// to the standard error stream instead.
void showMessage(const std::string& title, const std::string& text);

// True only when the user answers yes: "No" and closing the box both give
// false, and so does a program without a running GUI (after writing the
// question to the standard error stream).
bool askYesNo(const std::string& title, const std::string& text);

// A one-line text asked for in the toolkit's input box: owned by `owner`
// (the application when null), titled `caption`, with the label `prompt`
// above a field preset with `preset`, placed at x, y (screen) as
// `placement` (a toolkit PLACEMENT_ value) lets it. True and the entered
// text in code page 932 on OK; false, text untouched, on Cancel and without
// a running GUI. A text holding a character that the code page lacks is not
// taken: a box titled `refusalTitle` says `refusalText`, and the input box
// opens again with the text as it was typed.
bool inputText(FX::FXWindow* owner, const std::string& caption, const std::string& prompt,
               const std::string& preset, int x, int y, unsigned placement, std::string& text,
               const std::string& refusalTitle = "Error",
               const std::string& refusalText = "The text holds a character that cannot be stored.");

// The pointer's position in root-window (screen) coordinates, as the
// toolkit's root window reports it. False, with x and y 0, without a
// running GUI.
bool getCursorPos(int& x, int& y);

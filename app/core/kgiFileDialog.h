#pragma once
// The file dialogs of the main window's file and media commands: open a
// file that exists, or choose a name to save under. A dialog has a title,
// one filter ("TS file (*.ts)") or several, the first one selected, a
// default extension and the folder it starts in. Patterns match file names
// without regard to letter case.
//
// Paths are file-system bytes (UTF-8 on this system) from end to end: what
// the dialog gives is used as it stands, never converted to code page 932;
// only the question's texts are. There is no length limit.
//
// The toolkit's dialog sits behind an installable chooser, as the message
// boxes sit behind kgiCharacterServices: tests install one that answers
// from a script. What a save dialog does with the chosen name (default
// extension, the question before replacing a file) is the layer's own and
// holds for every chooser.
#include <string>
#include <vector>

struct kgiFileDialogRequest {
    bool save = false;          // a save dialog; else an open dialog
    std::string title;          // "Load timesheet"
    std::string filter;         // "TS file (*.ts)": a text with its pattern in brackets
    std::vector<std::string> otherFilters;  // offered after filter, which is selected
    std::string extension;      // "ts", without the dot
    // Where it starts; empty: the current directory. A file's path starts
    // in its folder with that file selected.
    std::string folder;
};

class kgiFileDialogs {
public:
    virtual ~kgiFileDialogs() = default;

    // One showing of the dialog: true with the chosen path, false when it
    // was cancelled (path untouched). The default is the toolkit's file
    // dialog over the main window; an open dialog lets only an existing
    // file be chosen. Without a running GUI it answers cancel after one
    // line on standard error.
    virtual bool choose(const kgiFileDialogRequest& request, std::string& path);

    // The whole dialog, through the installed chooser. A save dialog adds
    // "." + the extension to a chosen name that has none and, when that
    // file exists, asks whether to replace it (kgiCharacterServices'
    // yes/no box); no shows the dialog again in the chosen folder. An open
    // dialog gives a name without extension that names no file the
    // extension when the file with it exists. True with the path; false on
    // cancel, with path untouched.
    static bool run(const kgiFileDialogRequest& request, std::string& path);

    // The folder a dialog's path is kept as: everything before the last
    // '/' ("/" for a file in the root; empty for a bare name).
    static std::string folderOf(const std::string& path);
    // path + "." + extension when the last component has no '.'.
    static std::string withExtension(const std::string& path, const std::string& extension);

    // The installed chooser (the toolkit's when none is).
    static kgiFileDialogs& current();
    // Installs d (not owned; null restores the toolkit's). Uninstall before
    // d is destroyed.
    static void install(kgiFileDialogs* d);
};

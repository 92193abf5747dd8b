#include "kgiFileDialog.h"

#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiNarrowString.h"
#include "platform/codepage.h"

#include <fx.h>

#include <cstdio>
#include <sys/stat.h>

namespace {

kgiFileDialogs* installed = nullptr;

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The last path component.
std::string nameOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

bool kgiFileDialogs::choose(const kgiFileDialogRequest& request, std::string& path) {
    FX::FXApp* app = FX::FXApp::instance();
    if (!app || !app->isInitialized()) {
        platform::printDiagnostic("%s: no display for the file dialog\n", request.title.c_str());
        return false;
    }
    kgiApp* program = kgiApp::instance();
    kgiCommandWindow* main = program ? program->getMainWindow() : nullptr;
    FX::FXWindow* owner = main ? main->window() : nullptr;
    // The dialog needs a created owner; the toolkit's root stands in
    // before the main window exists.
    if (!owner || !owner->id()) owner = app->getRootWindow();
    FX::FXFileDialog dialog(owner, request.title.c_str());
    std::string patterns = request.filter;
    for (const std::string& f : request.otherFilters) patterns += "\n" + f;
    dialog.setPatternList(FX::FXString(patterns.c_str(), static_cast<FX::FXint>(patterns.size())));
    dialog.setCurrentPattern(0);
    dialog.setMatchMode(FX::FILEMATCH_FILE_NAME | FX::FILEMATCH_NOESCAPE | FX::FILEMATCH_CASEFOLD);
    dialog.setSelectMode(request.save ? FX::SELECTFILE_ANY : FX::SELECTFILE_EXISTING);
    const FX::FXString start(request.folder.c_str(), static_cast<FX::FXint>(request.folder.size()));
    if (!request.folder.empty() && !FX::FXStat::isDirectory(start) && FX::FXStat::exists(start))
        dialog.setFilename(start);
    else if (!request.folder.empty())
        dialog.setDirectory(start);
    if (!dialog.execute(FX::PLACEMENT_OWNER)) return false;
    const FX::FXString chosen = dialog.getFilename();
    if (chosen.empty()) return false;
    path.assign(chosen.text(), static_cast<size_t>(chosen.length()));
    return true;
}

bool kgiFileDialogs::run(const kgiFileDialogRequest& request, std::string& path) {
    kgiFileDialogRequest showing = request;
    for (;;) {
        std::string chosen;
        if (!current().choose(showing, chosen)) return false;
        if (!request.save) {
            const std::string withExt = withExtension(chosen, request.extension);
            path = !fileExists(chosen) && fileExists(withExt) ? withExt : chosen;
            return true;
        }
        chosen = withExtension(chosen, request.extension);
        if (!fileExists(chosen)) {
            path = chosen;
            return true;
        }
        // The name is shown in the box's code page; the path itself stays
        // as the file system gave it.
        kgiCharacterServices& services = kgiCharacterServices::current();
        const std::string name = kgiNarrowString::toNarrowText(FX::FXString(nameOf(chosen).c_str()));
        if (services.askYesNo(request.title, name + " already exists.\nDo you want to replace it?")) {
            path = chosen;
            return true;
        }
        showing.folder = folderOf(chosen);
    }
}

std::string kgiFileDialogs::folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string kgiFileDialogs::withExtension(const std::string& path, const std::string& extension) {
    if (extension.empty() || nameOf(path).find('.') != std::string::npos) return path;
    return path + "." + extension;
}

kgiFileDialogs& kgiFileDialogs::current() {
    static kgiFileDialogs toolkit;
    return installed ? *installed : toolkit;
}

void kgiFileDialogs::install(kgiFileDialogs* d) { installed = d; }

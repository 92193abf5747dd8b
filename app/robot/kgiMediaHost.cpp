#include "kgiMediaHost.h"

#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiFileDialog.h"
#include "kgiLangKeys.h"

#include "kutPath.h"
#include "platform/files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string& instanceFolder() {
    static std::string folder;
    return folder;
}

bool isPictureType(kgiMediaType type) { return type == MEDIA_MOVIE || type == MEDIA_IMAGE; }

// Whole frames of 15 seconds at the world's rate, truncated toward zero.
int fifteenSeconds() {
    const double frames = 15.0 * static_cast<double>(kgiWorld::instance()->getFps());
    if (!(frames > -2.0e9 && frames < 2.0e9)) return 0;
    return static_cast<int>(frames);
}

// The parent of the video window: the main window's toolkit object, or
// null (a free top-level window) without one.
FX::FXWindow* videoWindowParent() {
    kgiApp* app = kgiApp::instance();
    kgiCommandWindow* main = app ? app->getMainWindow() : nullptr;
    return main ? main->window() : nullptr;
}

// The list that goes with a timesheet, from its folder and name.
std::string listIn(const std::string& folder, const std::string& name) {
    const std::string media = folder.empty() ? std::string("media") : kutAppendPath(folder, "media");
    return kutPrependPath(media, kutAppendExt(name, "tl"));
}

bool endsInTl(const std::string& path) {
    return path.size() >= 3 && path.compare(path.size() - 3, 3, ".tl") == 0;
}

const char* const GROUP = " ], [ ";

// One used line. With the two groups of numbers, the path is everything
// between "[ " and the separator that begins them; otherwise the text up
// to the first blank, as the list was always read.
kgiMediaListItem parseLine(const std::string& line) {
    kgiMediaListItem item;
    const std::string::size_type last = line.rfind(GROUP);
    const std::string::size_type groups =
        last != std::string::npos && last > 0 ? line.rfind(GROUP, last - 1) : std::string::npos;
    if (line.compare(0, 2, "[ ") == 0 && groups != std::string::npos && groups >= 2) {
        item.path = line.substr(2, groups - 2);
        std::sscanf(line.c_str() + groups, " ], [ %d, %d ], [ %d ]", &item.startFrame, &item.endFrame,
                    &item.offsetMs);
        return item;
    }
    char path[256] = {0};
    std::sscanf(line.c_str(), "[ %255s ], [ %d, %d ], [ %d ]", path, &item.startFrame, &item.endFrame,
                &item.offsetMs);
    item.path = path;
    return item;
}

} // namespace

const char* const kgiMediaHost::MODULE_FILE = "kgimedialib.so";

kgiMediaHost* kgiMediaHostInit(kgiMediaHost* host, const std::string& moduleFolder) {
    host->tracks.clear();
    host->window = nullptr;
    kgiWorld::instance()->setMediaTracks(host);

    kgiCharacterServices& services = kgiCharacterServices::current();
    host->library.setFolder(moduleFolder);
    if (!host->library.open(kgiMediaHost::MODULE_FILE)) {
        services.showMessage("Error - 050", services.text(kgiLangKey::Er_Media_Load));
        return host;
    }
    auto createTrack = reinterpret_cast<kgiCreateMediaTrackFn>(host->library.symbol("CreateMediaTrack"));
    auto destroyTrack = reinterpret_cast<kgiDestroyMediaTrackFn>(host->library.symbol("DestroyMediaTrack"));
    auto createWindow = reinterpret_cast<kgiCreateMediaWindowFn>(host->library.symbol("CreateMediaWindow"));
    auto destroyWindow = reinterpret_cast<kgiDestroyMediaWindowFn>(host->library.symbol("DestroyMediaWindow"));
    if (!createTrack || !destroyTrack || !createWindow || !destroyWindow) {
        // All four or none; the module itself stays loaded.
        services.showMessage("Error - 051", services.text(kgiLangKey::Er_Media_Func));
        return host;
    }
    host->createMediaTrack = createTrack;
    host->destroyMediaTrack = destroyTrack;
    host->createMediaWindow = createWindow;
    host->destroyMediaWindow = destroyWindow;
    // The plug-in's default size, in the bottom right of the work area.
    host->window = createWindow(videoWindowParent(), -1, -1, -1, -1);
    host->hideMediaWindow();
    host->lastSyncTime = -1.0f;
    host->moviesRunning = false;
    host->movieCount = 0;
    return host;
}

kgiMediaHost* kgiMediaHost::instance() {
    static kgiMediaHost host(instanceFolder());
    return &host;
}

void kgiMediaHost::setInstanceFolder(const std::string& folder) { instanceFolder() = folder; }

kgiMediaHost::kgiMediaHost(const std::string& moduleFolder) { kgiMediaHostInit(this, moduleFolder); }

kgiMediaHost::~kgiMediaHost() {
    kgiWorld* world = kgiWorld::instance();
    if (world->getRegisteredMediaTracks() == this) world->setMediaTracks(nullptr);
    destroyTracks();
    if (window && destroyMediaWindow) destroyMediaWindow();
    window = nullptr;
    library.close();
}

void kgiMediaHost::shutDown() {
    kgiWorld* world = kgiWorld::instance();
    if (world->getRegisteredMediaTracks() == this) world->setMediaTracks(nullptr);
    destroyTracks();
    if (window && destroyMediaWindow) destroyMediaWindow();
    window = nullptr;
}

void kgiMediaHost::destroyTracks() {
    for (kgiMediaTrackEntry& e : tracks)
        if (destroyMediaTrack) destroyMediaTrack(e.track);
    tracks.clear();
    movieCount = 0;
}

// --- tracks ---

int kgiMediaHost::addTrack(const std::string& path, kgiMediaTrackInfo* info) {
    if (!isBound()) return -1;
    kgi::kgiMediaTrack* track = createMediaTrack(path.c_str());
    if (!track) return -1;
    kgiMediaTrackInfo defaults;
    if (!info) info = &defaults;
    info->durationMs = track->getDuration();
    info->mediaType = getMediaType(path);
    info->endFrame = fifteenSeconds();
    if (isPictureType(info->mediaType)) {
        if (movieCount > 0) {
            kgiCharacterServices& services = kgiCharacterServices::current();
            if (!services.askYesNo("Warning", services.text(kgiLangKey::Media_AlreadyAdd))) {
                destroyMediaTrack(track);
                return -1;
            }
            for (size_t i = 0; i < tracks.size(); ++i) {
                if (isPictureType(tracks[i].info->mediaType)) {
                    removeTrack(static_cast<int>(i));
                    break;
                }
            }
        }
        ++movieCount;
        lastSyncTime = -1.0f;
    }
    kgiMediaTrackEntry entry;
    entry.track = track;
    entry.info = std::make_unique<kgiMediaTrackInfo>(*info);
    tracks.push_back(std::move(entry));
    syncToCurrentTime();
    return getTrackCount();
}

int kgiMediaHost::importMediaFile() {
    kgiApp* app = kgiApp::instance();
    kgiFileDialogRequest request;
    request.title = "Import AV file...";
    request.filter = "Video files (*.wmv,*.mpg,*.mpeg,*.avi,*.mov)";
    request.otherFilters = {"Audio files (*.wav,*.mp3,*.ogg,*.aiff)", "All files (*.*)"};
    request.extension = "mpg";
    if (app) request.folder = app->getMediaDir();
    std::string path;
    if (kgiFileDialogs::run(request, path) && app) app->setMediaDir(path);
    kgiMediaTrackInfo info;
    info.startFrame = 0;
    info.endFrame = 9000000;
    info.active = true;
    info.playing = false;
    info.lastFrame = 0;
    info.offsetMs = 0;
    return addTrack(path, &info);
}

void kgiMediaHost::removeTrack(int index) {
    if (index < 0 || index >= getTrackCount()) return;
    kgiMediaTrackEntry& e = tracks[static_cast<size_t>(index)];
    e.track->stop();
    destroyMediaTrack(e.track);
    const bool picture = isPictureType(e.info->mediaType);
    tracks.erase(tracks.begin() + index);
    if (picture) --movieCount;
}

void kgiMediaHost::removeAllTracks() {
    destroyTracks();
    if (windowShown) {
        hideMediaWindow();
        showMediaWindow();
    }
}

void kgiMediaHost::removeTrackByName(const std::string& fileName) {
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].track->getFileName() == fileName) {
            removeTrack(static_cast<int>(i));
            return;
        }
    }
}

kgi::kgiMediaTrack* kgiMediaHost::getTrack(int index) {
    if (index < 0 || index >= getTrackCount()) return nullptr;
    return tracks[static_cast<size_t>(index)].track;
}

kgiMediaTrackInfo* kgiMediaHost::getTrackInfo(int index) {
    if (index < 0 || index >= getTrackCount()) return nullptr;
    return tracks[static_cast<size_t>(index)].info.get();
}

void kgiMediaHost::setTrackInfo(int index, const kgiMediaTrackInfo* info) {
    kgiMediaTrackInfo* own = getTrackInfo(index);
    if (own && info && own != info) *own = *info;
}

void kgiMediaHost::playTrack(int index, int milliseconds) {
    if (kgi::kgiMediaTrack* t = getTrack(index)) t->play(static_cast<float>(milliseconds));
}

void kgiMediaHost::stopTrack(int index) {
    if (kgi::kgiMediaTrack* t = getTrack(index)) t->stop();
}

int kgiMediaHost::stopMovies() {
    if (!moviesRunning) return -1;
    int last = 0;
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].info->mediaType != MEDIA_MOVIE) continue;
        tracks[i].track->stop();
        tracks[i].track->setVolume(0);
        last = static_cast<int>(i) + 1;
    }
    moviesRunning = false;
    return last;
}

kgiMediaType kgiMediaHost::getMediaType(const std::string& path) {
    static const char* const movies[] = {"wmv", "WMV", "mpg", "MPG", "mpeg", "avi", "AVI", "mov", "MOV"};
    static const char* const sounds[] = {"wav", "WAV", "mp3", "MP3", "ogg", "aiff"};
    static const char* const images[] = {"jpg", "JPG", "jpeg", "JPEG", "bmp"};
    const std::string ext = kutGetExt(path);
    for (const char* e : movies)
        if (ext == e) return MEDIA_MOVIE;
    for (const char* e : sounds)
        if (ext == e) return MEDIA_SOUND;
    for (const char* e : images)
        if (ext == e) return MEDIA_IMAGE;
    return MEDIA_NONE;
}

// --- window and time ---

void kgiMediaHost::syncToCurrentTime() {
    if (kgiWorld::instance()->isPlaying() || !windowShown) {
        lastSyncTime = -1.0f;
        return;
    }
    seekMovies();
}

void kgiMediaHost::seekMovies() {
    kgiWorld* world = kgiWorld::instance();
    const float t = world->getCurrentTime();
    if (t == lastSyncTime) return;
    lastSyncTime = t;
    const double fps = static_cast<double>(world->getFps());
    for (kgiMediaTrackEntry& e : tracks) {
        if (e.info->mediaType != MEDIA_MOVIE) continue;
        const double ms = e.info->offsetMs + (static_cast<double>(t) - e.info->startFrame) * 1000.0 / fps;
        e.track->seek(static_cast<float>(ms));
    }
}

void kgiMediaHost::showMediaWindow() {
    syncToCurrentTime();
    windowShown = true;
    if (window) window->show();
}

void kgiMediaHost::hideMediaWindow() {
    windowShown = false;
    if (window) window->hide();
}

// --- media list ---

std::string kgiMediaHost::saveListPath(const std::string& p) {
    if (endsInTl(p)) return p;
    return listIn(kutExtractPath(p), kutRemoveExt(kutRemovePath(p)));
}

std::string kgiMediaHost::loadListPath(const std::string& p) {
    if (endsInTl(p)) return p;
    const std::string bare = kutRemoveExt(p);
    return listIn(kutExtractPath(bare), kutRemovePath(bare));
}

int kgiMediaHost::saveMediaList(const std::string& timesheetPath) {
    const std::string path = saveListPath(timesheetPath);
    // A timesheet saved where no list was kept yet gets its "media" folder.
    if (!endsInTl(timesheetPath)) platform::makeDirectory(kutExtractPath(path));
    platform::ReplaceFile file;
    if (!file.open(path)) return 0;
    int lines = 0;
    for (kgiMediaTrackEntry& e : tracks) {
        const std::string media = e.track->getDirectory() + e.track->getFileName();
        std::fprintf(file.stream(), "[ %s ], [ %d, %d ], [ %d ]\n", media.c_str(), e.info->startFrame,
                     e.info->endFrame, e.info->offsetMs);
        ++lines;
    }
    return file.commit() ? lines : 0;
}

std::vector<kgiMediaListItem> kgiMediaHost::parseMediaList(const std::string& text) {
    std::vector<kgiMediaListItem> items;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        const bool hasEnd = end != std::string::npos;
        if (!hasEnd) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (hasEnd && !line.empty() && line.back() == '\r') line.pop_back();
        // The line end counts as one character, whichever it was.
        const size_t length = line.size() + (hasEnd ? 1 : 0);
        if (length > 5 && line.find('[') != std::string::npos) items.push_back(parseLine(line));
    }
    return items;
}

int kgiMediaHost::loadMediaList(const std::string& timesheetPath, bool append) {
    if (!append) removeAllTracks();
    std::ifstream in(loadListPath(timesheetPath), std::ios::binary);
    if (!in) return 0;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int result = 0;
    for (const kgiMediaListItem& item : parseMediaList(text)) {
        kgiMediaTrackInfo info;
        info.startFrame = item.startFrame;
        info.endFrame = item.endFrame;
        info.offsetMs = item.offsetMs;
        info.active = true;
        info.playing = false;
        info.lastFrame = 0;
        result = addTrack(item.path, &info);
    }
    return result;
}

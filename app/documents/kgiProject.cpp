#include "kgiProject.h"

#include "kgiDocPath.h"
#include "kgiTextFile.h"
#include "kgiTokenizer.h"
#include "platform/files.h"
#include "platform/path.h"

#include <cctype>
#include <cstring>

const char* const kgiProject::FACTORY_FOLDER = "DORUZAVO_1base";
const char* const kgiProject::MODEL_INI = "model.ini";

namespace {

const char* const MAGIC_LINE = "# TS -- Zodarovu Timesheet";
// Timesheet values are quoted; a quoted value is read whole, so a name with
// a blank or a colon comes back as it was written.
const char* const TIMESHEET_DELIMITERS = " \t:\n,";

bool isFactoryFolder(const std::string& dir)
{
    const std::string d = kgiDocPath::trimSeparators(dir);
    const auto sep = platform::lastPathSeparator(d);
    return d.compare(sep == std::string::npos ? 0 : sep + 1, std::string::npos,
                     kgiProject::FACTORY_FOLDER)
        == 0;
}

// The factory folder's sibling: its name without the trailing "base".
std::string factorySibling(const std::string& dir)
{
    const std::string d = kgiDocPath::trimSeparators(dir);
    return d.substr(0, d.size() - 4);
}

} // namespace

kgiProject::kgiProject()
    : version("1.01")
{
}

kgiProject::~kgiProject()
{
    opened = 0;
    releaseCurveFile();
}

int kgiProject::hasTimesheetExtension(const char* name)
{
    if (!name)
        return 0;
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return 0;
    // Exactly ".ts" in any case: ".tsx" and ".ts.bak" are other files.
    const char* const EXTENSION = ".ts";
    for (int i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(dot[i])) != EXTENSION[i])
            return 0;
    return 1;
}

kgiKmmFile* kgiProject::createMotionFile()
{
    motionFile = std::make_unique<kgiKmmFile>();
    return motionFile.get();
}

void kgiProject::releaseMotionFile()
{
    motionFile.reset();
}

kgiKmcFile* kgiProject::createCurveFile()
{
    releaseCurveFile();
    curveFile = std::make_unique<kgiKmcFile>();
    return curveFile.get();
}

void kgiProject::releaseCurveFile()
{
    if (curveFile)
        curveFile->close();
    curveFile.reset();
}

int kgiProject::open(const char* path)
{
    if (!hasTimesheetExtension(path) || !readTimesheet(path))
        return 0;
    if (!motionPath.empty()) {
        kgiKmmFile* motion = createMotionFile();
        // A motion that did not read whole is no motion: the caller reports
        // the failed load instead of building from half a file.
        if (!motion->open(motionPath.c_str()) || !motion->readHeader() || !motion->readBody()) {
            releaseMotionFile();
            return 0;
        }
        motion->close();
    }
    if (euler && !curvePath.empty()) {
        kgiKmcFile* curves = createCurveFile();
        const bool read = curves->read(curvePath.c_str());
        curves->close();
        if (!read) {
            // Open all the same: the caller checks the curve file's status
            // and goes on without curves.
            opened = 1;
            return 0;
        }
    }
    opened = 1;
    return 1;
}

int kgiProject::readTimesheet(const char* path)
{
    if (!path)
        return 0;
    const std::string p = path;
    const auto sep = platform::lastPathSeparator(p);
    if (sep == std::string::npos)
        return 0;
    projectDir = kgiDocPath::trimSeparators(platform::toNativePath(p.substr(0, sep + 1)));
    tsName = p;
    motionControllerNamed = 0;
    euler = 0;
    FILE* file = std::fopen(path, "r");
    if (!file)
        return 0;

    kgiTokenizer tokens(TIMESHEET_DELIMITERS);
    tokens.setQuotes("\"");
    int n = tokens.readLine(file);
    if (n < 2 || !tokens.tokenIs(1, "TS")) {
        std::fclose(file);
        return 0;
    }
    if (!tokens.readLine(file) || !tokens.tokenIs(0, "Proj.set")) {
        std::fclose(file);
        return 1;
    }
    while ((n = tokens.readLine(file)) > 0) {
        const std::string key = tokens.getToken(0);
        if (key == "}")
            break;
        if (key == "Directories" || key == "Pref") {
            // A block up to a line that holds only "}".
            while ((n = tokens.readLine(file)) > 0 && !(n == 1 && tokens.tokenIs(0, "}"))) {
                if (n < 2)
                    continue;
                const std::string name = tokens.getToken(0);
                const std::string value = tokens.getToken(1);
                if (key == "Pref") {
                    prefs.setByKey(name.c_str(), value.c_str());
                } else if (name == "Character") {
                    characterDirName = value;
                    characterDir = kgiDocPath::sub(projectDir, value);
                } else if (name == "JointParameter") {
                    jointParameterDirName = value;
                    jointParameterDir = kgiDocPath::sub(projectDir, value);
                } else if (name == "Motion") {
                    motionDirName = value;
                    motionDir = kgiDocPath::sub(projectDir, value);
                }
            }
            continue;
        }
        if (n < 2)
            continue;
        const std::string value = tokens.getToken(1);
        // Joins use the folders read so far: the Directories block comes first.
        if (key == "JointParameter") {
            jointParameterPath = kgiDocPath::sub(jointParameterDir, value);
            jointParameterName = value;
        } else if (key == "Motion") {
            motionPath = kgiDocPath::sub(motionDir, value);
            motionName = value;
        } else if (key == "CurveData") {
            curvePath = kgiDocPath::sub(motionDir, value);
            curveName = value;
        } else if (key == "MotionController") {
            motionControllerNamed = 1;
            euler = value == "Euler" ? 1 : 0;
        } else if (key == "Character") {
            characterPath = kgiDocPath::sub(characterDir, value);
            characterName = value;
        } else if (key == "Selection" && n >= 3) {
            selectionFirst = tokens.tokenInt(1);
            selectionLast = tokens.tokenInt(2);
        }
    }
    std::fclose(file);
    return 1;
}

int kgiProject::writeTimesheet(const char* name)
{
    if (!name || std::strchr(name, '.'))
        return 0;
    tsName = std::string(name) + ".ts";
    tsPath = kgiDocPath::sub(projectDir, tsName);
    kgiTextFile out;
    if (!out.create(tsPath.c_str()))
        return 0;
    const auto quoted = [&out](const char* indent, const char* key, const std::string& value,
                               const char* extension) {
        out.put(indent).put(key).put(" \"").put(value).put(extension).put("\"\n");
    };
    out.put(MAGIC_LINE).put('\n');
    out.put('\n');
    out.put("Proj.set {\n");
    out.put("\tDirectories {\n");
    quoted("\t\t", "Character", characterDirName, "");
    quoted("\t\t", "Motion", motionDirName, "");
    out.put("\t}\n");
    out.put("\tPref {\n");
    prefs.write(out);
    out.put("\t}\n");
    quoted("\t", "Motion", name, ".kmm");
    quoted("\t", "MotionController", euler ? "Euler" : "Quaternion", "");
    if (euler)
        quoted("\t", "CurveData", name, ".kmc");
    quoted("\t", "Character", characterName, "");
    out.put("\tSelection ").putInt(selectionFirst).put(',').putInt(selectionLast).put('\n');
    out.put("}\n");
    return out.commit() ? 1 : 0;
}

int kgiProject::prepareTarget(const char* path)
{
    if (!opened)
        return fail(TARGET_NOT_OPEN);
    const std::string p = path ? path : "";
    targetDir = p;
    const auto sep = platform::lastPathSeparator(p);
    if (sep == std::string::npos) {
        baseName = kgiDocPath::withoutExtension(p);
        return fail(NO_FOLDER_PART);
    }
    baseName = kgiDocPath::withoutExtension(p.substr(sep + 1));
    targetDir = platform::toNativePath(p.substr(0, sep + 1));
    // Saving under the name walk in some folder makes the project folder
    // walk.prj in it, unless the folder already is one.
    const auto dot = targetDir.find_last_of('.');
    if (dot == std::string::npos || targetDir.compare(dot, 4, ".prj") != 0)
        targetDir += baseName + ".prj" + platform::pathSeparator();
    if (baseName.empty())
        return fail(EMPTY_NAME);
    return kgiDocPath::trimSeparators(targetDir) == projectDir ? 1 : 0;
}

bool kgiProject::copyIfAbsent(const std::string& source, const std::string& target)
{
    if (platform::pathExists(target))
        return true;
    switch (platform::copyFile(source, target)) {
    case platform::CopyResult::Ok:
        return true;
    case platform::CopyResult::SourceFailed:
        status = CHARACTER_UNREADABLE;
        return false;
    case platform::CopyResult::TargetFailed:
        break;
    }
    status = CHARACTER_COPY_FAILED;
    return false;
}

int kgiProject::createProjectFolder(const char* folder)
{
    if (!opened)
        return fail(NOT_OPEN);
    if (!folder || !*folder)
        return fail(NO_FOLDER);
    const std::string dir = kgiDocPath::trimSeparators(platform::toNativePath(folder));
    // An existing folder is adopted: whatever it lacks is added below.
    if (!platform::makeDirectory(dir))
        return fail(FOLDER_FAILED);
    const std::string newCharacterDir = kgiDocPath::sub(dir, characterDirName);
    const std::string newJointDir = kgiDocPath::sub(dir, jointParameterDirName);
    const std::string newMotionDir = kgiDocPath::sub(dir, motionDirName);
    for (const std::string* sub : {&newCharacterDir, &newJointDir, &newMotionDir})
        if (!platform::makeDirectory(*sub))
            return fail(FOLDER_FAILED);

    std::string newCharacterPath = newCharacterDir;
    if (!characterName.empty()) {
        newCharacterPath = kgiDocPath::sub(newCharacterDir, characterName);
        if (!copyIfAbsent(characterPath, newCharacterPath))
            return 0;
        // The program reads the joint table from beside the character.
        const std::string ini = kgiDocPath::sub(kgiDocPath::folderOf(characterPath), MODEL_INI);
        if (platform::pathExists(ini)
            && !copyIfAbsent(ini, kgiDocPath::sub(kgiDocPath::folderOf(newCharacterPath), MODEL_INI)))
            return 0;
    }
    projectDir = dir;
    characterDir = newCharacterDir;
    jointParameterDir = newJointDir;
    motionDir = newMotionDir;
    characterPath = newCharacterPath;
    return 1;
}

int kgiProject::save(const char* path)
{
    return write(path, 1);
}

int kgiProject::write(const char* path, int mode)
{
    status = NO_ERROR;
    if (!opened)
        return fail(NOT_OPEN);
    const int sameFolder = prepareTarget(path);
    if (status != NO_ERROR && status != NO_FOLDER_PART)
        return 0;
    if (baseName.empty())
        return fail(EMPTY_NAME);
    // walk.old.ts: the timesheet name could not be written; refuse before
    // anything is.
    if (baseName.find('.') != std::string::npos)
        return fail(NAME_HAS_DOT);

    std::string saveDir = sameFolder || status == NO_FOLDER_PART ? projectDir : targetDir;
    if (isFactoryFolder(saveDir))
        saveDir = factorySibling(saveDir);
    if (kgiDocPath::trimSeparators(saveDir) != projectDir && !createProjectFolder(saveDir.c_str()))
        return 0;

    // The timesheet goes last: it names the other files, and a failure
    // before it leaves the previous timesheet in place.
    if (motionFile) {
        motionName = baseName + ".kmm";
        motionPath = kgiDocPath::sub(kgiDocPath::sub(projectDir, motionDirName), motionName);
        const bool written = mode == 1 ? motionFile->writeMatrices(motionPath.c_str())
                                       : motionFile->writeCompact(motionPath.c_str());
        if (!written)
            return fail(MOTION_FAILED);
    }
    if (euler && curveFile) {
        curveName = baseName + ".kmc";
        curvePath = kgiDocPath::sub(kgiDocPath::sub(projectDir, motionDirName), curveName);
        const bool written = curveFile->write(curvePath.c_str());
        curveFile->close();
        if (!written)
            return fail(CURVE_FAILED);
    }
    if (!writeTimesheet(baseName.c_str()))
        return fail(TIMESHEET_FAILED);
    return 1;
}

int kgiProject::setVersion(const char* text)
{
    if (!text)
        return 0;
    version = text;
    return 1;
}

void kgiProject::close()
{
    opened = 0;
    releaseMotionFile();
    releaseJointParams();
}

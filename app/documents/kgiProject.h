#pragma once
// A project: a folder with a timesheet (".ts"), a character sub-folder with
// the model file, and a motion sub-folder with the motion-key file (".kmm")
// and, for the Euler motion controller, the curve file (".kmc").
//
// open() reads the timesheet and the files it names; save() writes all of
// them back, into the project's own folder for a bare file name, or into a
// project folder "<name>.prj" that it creates (or adopts when it exists)
// with a copy of the character. Timesheets store folder and file names,
// never whole paths. Nothing here changes the current directory.
#include "kgiJointParam.h"
#include "kgiKmcFile.h"
#include "kgiKmmFile.h"
#include "kgiProjectPrefs.h"

#include <memory>
#include <string>
#include <vector>

class kgiProject {
public:
    enum Status {
        NO_ERROR = 0,
        TARGET_NOT_OPEN = 1,     // save target checked with no project open
        EMPTY_NAME = 2,          // save name without a base name
        NO_FOLDER_PART = 3,      // not an error: the save goes to the project folder
        NOT_OPEN = 4,            // folder creation or save with no project open
        NO_FOLDER = 5,           // no folder given
        FOLDER_FAILED = 6,       // a folder could not be created
        CHARACTER_UNREADABLE = 7, // the character file (or its model.ini) cannot be read
        CHARACTER_COPY_FAILED = 8, // its copy cannot be written
        NAME_HAS_DOT = 9,        // the save name's base still holds a "." (walk.old.ts)
        TIMESHEET_FAILED = 10,   // the timesheet could not be written
        MOTION_FAILED = 11,      // the motion-key file could not be written
        CURVE_FAILED = 12        // the curve file could not be written
    };

    // The robot model's factory folder: saving never writes into it but
    // into the sibling folder without the trailing "base".
    static const char* const FACTORY_FOLDER;
    // The joint table beside the character file, copied with it.
    static const char* const MODEL_INI;

    kgiProject();
    ~kgiProject();
    kgiProject(const kgiProject&) = delete;
    kgiProject& operator=(const kgiProject&) = delete;

    // Opens a ".ts" file and the motion-key file it names, and for the
    // Euler controller the curve file. 1 on success. 0 when the timesheet
    // or the motion-key file cannot be read (no motion-key file object is
    // kept then), and also when only the curve file fails: the project is
    // then open and holds the curve file object with its status.
    int open(const char* path);
    // write(path, 1).
    int save(const char* path);
    // Saves the timesheet, the motion-key file (mode 1 full rows, else
    // compact) and, for the Euler controller, the curve file. 1 when all
    // were written; 0 on any failure (see getStatus), with the previous
    // files left as they were.
    int write(const char* path, int mode);

    // Drops the old motion-key file object and makes a new empty one,
    // which the project owns.
    kgiKmmFile* createMotionFile();
    void releaseMotionFile();
    kgiKmcFile* createCurveFile();
    void releaseCurveFile();
    kgiKmmFile* getMotionFile() const { return motionFile.get(); }
    kgiKmcFile* getCurveFile() const { return curveFile.get(); }

    int isEulerController() const { return euler; }
    int hasMotionController() const { return motionControllerNamed; }
    // Chooses the Euler controller; it is saved with the project.
    void setEulerController() { euler = 1; }
    int isOpen() const { return opened; }
    // The last failure; reset at the start of each save.
    int getStatus() const { return status; }

    // 1 when the name ends in ".ts" (any case) after its last ".".
    static int hasTimesheetExtension(const char* name);

    // Reads the settings of a timesheet (not the files it names). 0 for a
    // path without a folder part, a file that cannot be opened or one that
    // is not a timesheet.
    int readTimesheet(const char* path);
    // Writes "<name>.ts" into the project folder; 0 for a name holding a
    // "." or when the file cannot be written.
    int writeTimesheet(const char* name);

    // Splits a save path into target folder and base name (statuses 1 to
    // 3); 1 when the target is the project's own folder.
    int prepareTarget(const char* path);
    // Creates the project folder with its sub-folders and a copy of the
    // character (and model.ini), or adopts an existing one, filling in what
    // is missing; the project then lives there. 0 on failure (4 to 8).
    int createProjectFolder(const char* folder);

    // Copies a non-null version text; 0 for none.
    int setVersion(const char* text);
    // Marks the project closed and frees its motion file and joint records.
    void close();

    // Joint-parameter records (".kjp"); the program itself does not use them.
    void allocateJointParams(int n);
    void releaseJointParams() { jointParameters.clear(); }
    int getJointParameterCount() const { return static_cast<int>(jointParameters.size()); }
    // Record i clamped into the records; null when there are none.
    kgiJointParam* getJointParam(int i);
    // Writes "<path without extension>.kjp" into the joint-parameter folder;
    // 0 when it cannot be written.
    int writeJointParams(const char* path);
    // Reads the records of a file; 1 also for no path (nothing read) and a
    // file of another kind, 0 when it cannot be opened.
    int readJointParams(const char* path);

    kgiProjectPrefs& getPrefs() { return prefs; }
    const kgiProjectPrefs& getPrefs() const { return prefs; }
    const std::string& getVersion() const { return version; }
    int getSelectionFirst() const { return selectionFirst; }
    int getSelectionLast() const { return selectionLast; }
    void setSelection(int first, int last)
    {
        selectionFirst = first;
        selectionLast = last;
    }

    const std::string& getProjectDir() const { return projectDir; }
    const std::string& getCharacterDir() const { return characterDir; }
    const std::string& getMotionDir() const { return motionDir; }
    const std::string& getJointParameterDir() const { return jointParameterDir; }
    const std::string& getCharacterDirName() const { return characterDirName; }
    const std::string& getMotionDirName() const { return motionDirName; }
    const std::string& getJointParameterDirName() const { return jointParameterDirName; }
    // The model file: its path, and its name as the timesheet stores it
    // (empty when the timesheet names none).
    const std::string& getCharacterPath() const { return characterPath; }
    const std::string& getCharacterName() const { return characterName; }
    const std::string& getMotionPath() const { return motionPath; }
    const std::string& getMotionName() const { return motionName; }
    const std::string& getCurvePath() const { return curvePath; }
    const std::string& getCurveName() const { return curveName; }
    const std::string& getJointParameterPath() const { return jointParameterPath; }
    const std::string& getJointParameterName() const { return jointParameterName; }
    // The timesheet last read (its path) or written (its file name).
    const std::string& getTsName() const { return tsName; }
    const std::string& getTsPath() const { return tsPath; }
    const std::string& getTargetDir() const { return targetDir; }
    const std::string& getBaseName() const { return baseName; }

private:
    int fail(int code)
    {
        status = code;
        return 0;
    }
    bool copyIfAbsent(const std::string& source, const std::string& target);

    std::vector<kgiJointParam> jointParameters;
    int status = NO_ERROR;
    int motionControllerNamed = 0;
    int euler = 0;
    std::string version;
    std::unique_ptr<kgiKmcFile> curveFile;
    std::unique_ptr<kgiKmmFile> motionFile;
    kgiProjectPrefs prefs;
    std::string projectDir; // without a trailing separator
    std::string jointParameterDir, motionDir, characterDir;
    std::string targetDir;
    std::string baseName;
    std::string jointParameterDirName, motionDirName, characterDirName;
    std::string characterPath;
    std::string tsPath;
    std::string motionPath;
    std::string jointParameterPath;
    std::string characterName;
    std::string tsName;
    std::string motionName, jointParameterName;
    std::string curvePath;
    std::string curveName;
    int selectionFirst = 0;
    int selectionLast = 0;
    int opened = 0;
};

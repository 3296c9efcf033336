#pragma once
// Where a program keeps its settings file. Beside the program, where that folder can be written
// (a build, an installation into the user's own prefix); a program installed for the whole
// system lives in a folder a normal user cannot write to, and there the file goes under the
// user's own configuration folder, $XDG_CONFIG_HOME/tolvi-numbers or ~/.config/tolvi-numbers,
// with the same name (TolviNumbers3.ini, TolviNumbersMini.ini).
//
// The place is chosen once, when the object is made at program start, so that the setting is
// read from the place it will be written to. Plain C++ with the environment passed in, so that
// tests can choose the folders without touching the real home folder.

#include <filesystem>
#include <string>

namespace tolvi {

class SettingsLocation {
public:
    // The environment values the per-user folder comes from; an empty string stands for unset.
    struct UserFolders {
        std::string home;           // HOME
        std::string xdgConfigHome;  // XDG_CONFIG_HOME
        static UserFolders fromEnvironment();
    };

    SettingsLocation(const std::filesystem::path& programPath, const UserFolders& user);

    // The program file's path with ".ini" (SettingsFile::pathForProgram).
    const std::filesystem::path& besideProgram() const { return besideProgram_; }
    // The same name in the per-user folder: XDG_CONFIG_HOME when it is an absolute path (an empty
    // or relative one counts as unset), else HOME/.config. Empty when HOME is no absolute path
    // either, and the file then stays beside the program.
    const std::filesystem::path& perUser() const { return perUser_; }
    // Where saving goes: beside the program when the file there can be written (or, while there
    // is none, the folder takes new files), else in the per-user folder.
    const std::filesystem::path& writePath() const { return writePath_; }
    // Where the setting is read from: the place it is written to; but while the per-user folder
    // holds no file yet, the file beside the program, a default an administrator may have left.
    const std::filesystem::path& readPath() const { return readPath_; }

    // Writes "Mismatch" (SettingsFile::saveMismatch) to writePath(). When that is beside the
    // program and fails there after all, the per-user file is written instead, its folders made
    // with mode 0700 as needed. Raises the IoError of the place tried last when none can be
    // written.
    void saveMismatch(bool mismatch) const;

private:
    std::filesystem::path besideProgram_;
    std::filesystem::path perUser_;
    std::filesystem::path writePath_;
    std::filesystem::path readPath_;
};

}  // namespace tolvi

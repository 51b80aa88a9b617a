#include "playlist_path.h"

#include <cstring>

#include "../text.h"
#include "program_folder.h"
#include "settings_folder.h"

namespace {

constexpr char PLAYLIST_FILE[] = "WINAMP.m3u";

} // namespace

bool GetPlaylistPath(WCHAR (&path)[PATH_BUFFER], const PlayerProgram& program)
{
    path[0] = 0;
    WCHAR programFolder[PATH_BUFFER];
    if (FindProgramFolder(program, programFolder) == ProgramFrom::Nowhere)
        return false;
    WCHAR settings[PATH_BUFFER];
    const WCHAR* folder = programFolder;
    size_t folderLength = TextLength(programFolder);
    switch (ReadSettingsFolder(programFolder, program.is64, settings)) {
    case SettingsFrom::Unusable:
        return false;
    case SettingsFrom::Folder:
        folder = settings;
        folderLength = TextLength(settings);
        settings[folderLength++] = '\\';
        break;
    case SettingsFrom::ProgramFolder:
        break;
    }
    if (folderLength + sizeof PLAYLIST_FILE > PATH_BUFFER)
        return false;
    std::memcpy(path, folder, folderLength * sizeof(WCHAR));
    for (size_t i = 0; i < sizeof PLAYLIST_FILE; ++i)
        path[folderLength + i] = static_cast<WCHAR>(PLAYLIST_FILE[i]);
    return true;
}

#include "settings_folder.h"

#include <cstring>

#include "../text.h"
#include "ini_text.h"
#include "settings_file.h"
#include "settings_value.h"

namespace {

constexpr char SETTINGS_FILE[] = "paths.ini";
// The player reads m3udir first: it wins over inidir.
constexpr const char* FOLDER_KEYS[] = {"m3udir", "inidir"};

const char* WhyNot(Expansion expansion)
{
    switch (expansion) {
    case Expansion::Empty: return "it expands to nothing";
    case Expansion::NoSuchFolder: return "it names a special folder that is not there";
    case Expansion::TooLong: return "it is too long once expanded";
    default: return "";
    }
}

SettingsFrom Unusable(SettingsChoice& choice, const char* why)
{
    choice.why = why;
    return SettingsFrom::Unusable;
}

} // namespace

SettingsFrom ReadSettingsFolder(const WCHAR* program, bool playerIs64, WCHAR (&folder)[PATH_BUFFER],
                                SettingsChoice* kept)
{
    SettingsChoice unkept;
    SettingsChoice& choice = kept != nullptr ? *kept : unkept;
    choice.key = nullptr;
    choice.value[0] = 0;
    choice.why = nullptr;
    choice.error = 0;
    folder[0] = 0;

    WCHAR settings[PATH_BUFFER];
    size_t programLength = TextLength(program);
    if (programLength + sizeof SETTINGS_FILE > PATH_BUFFER)
        return Unusable(choice, "the path of paths.ini is too long");
    std::memcpy(settings, program, programLength * sizeof(WCHAR));
    for (size_t i = 0; i < sizeof SETTINGS_FILE; ++i)
        settings[programLength + i] = static_cast<WCHAR>(SETTINGS_FILE[i]);

    WCHAR text[SETTINGS_READ_MAX];
    size_t length = 0;
    // Only a missing paths.ini means the program folder: one that is there but cannot be read would
    // lead to a stale playlist there, about a track that is not playing.
    switch (ReadSettingsFile(settings, text, length, choice.error)) {
    case SettingsFile::Missing: return SettingsFrom::ProgramFolder;
    case SettingsFile::Unreadable: return Unusable(choice, "paths.ini cannot be read");
    case SettingsFile::Read: break;
    }
    for (const char* key : FOLDER_KEYS) {
        switch (FindSettingsValue(text, length, key, choice.value)) {
        case Setting::Missing:
            continue;
        case Setting::TooLong:
            choice.key = key;
            choice.value[0] = 0;
            return Unusable(choice, "its value is longer than a path can be");
        case Setting::Found:
            choice.key = key;
            Expansion expansion = ExpandSettingsValue(choice.value, program, playerIs64, folder);
            if (expansion != Expansion::Done) {
                folder[0] = 0;
                return Unusable(choice, WhyNot(expansion));
            }
            return SettingsFrom::Folder;
        }
    }
    return SettingsFrom::ProgramFolder;
}

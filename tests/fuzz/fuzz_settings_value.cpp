// A paths.ini value expanded against a plain reading of the player's rules, for any value bytes and a
// few program folders: %NAME% from the environment (WINAMP_PROGRAM_DIR and WINAMP_ROOT_DIR set by the
// player), {N} the special folder N, other text as it stands, blanks and trailing backslashes trimmed,
// a relative result under the program folder; unusable when empty, unknown or too long.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <unistd.h>

#include "../../src/trackinfo/location/ini_text.h"
#include "../../src/trackinfo/location/settings_file.h"
#include "../../src/trackinfo/location/settings_value.h"
#include "standin.h"

namespace {

const char* const PROGRAMS[] = {"C:\\Program Files\\Winamp\\", "\\\\server\\share\\Winamp\\", "D:\\",
                                "relative\\"};

bool Expected(const std::string& value, const std::string& program, std::string& folder, size_t& expanded)
{
    std::string out;
    for (size_t i = 0; i < value.size();) {
        size_t close = value.find('%', i + 1);
        if (value[i] == '%' && close != std::string::npos) {
            std::string name = value.substr(i + 1, close - i - 1);
            std::string upper = name;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (upper == "WINAMP_PROGRAM_DIR") {
                out += program.substr(0, program.size() - 1);
            } else if (upper == "WINAMP_ROOT_DIR") {
                out += program[1] == ':' ? program.substr(0, 3) : program[0] == '\\' ? "\\\\server\\share\\" : "";
            } else if (!name.empty() && name.size() <= 255) {
                // Windows compares variable names without regard to case.
                for (char** entry = environ; *entry != nullptr; ++entry)
                    if (strncasecmp(*entry, name.c_str(), name.size()) == 0 && (*entry)[name.size()] == '=') {
                        out += *entry + name.size() + 1;
                        break;
                    }
            }
            i = close + 1;
            continue;
        }
        size_t digits = 0;
        while (i + 1 + digits < value.size() && std::isdigit(static_cast<unsigned char>(value[i + 1 + digits])))
            ++digits;
        if (value[i] == '{' && digits > 0 && i + 1 + digits < value.size() && value[i + 1 + digits] == '}') {
            if (digits > 9)
                return false;
            long csidl = std::atol(value.substr(i + 1, digits).c_str());
            if (csidl == 26)
                out += "C:\\Users\\L\\AppData\\Roaming";
            else if (csidl == 5)
                out += "C:\\Users\\L\\Documents";
            else
                return false;
            i += digits + 2;
            continue;
        }
        out += value[i++];
    }
    expanded = out.size();
    size_t start = out.find_first_not_of(" \t");
    if (start == std::string::npos)
        return false;
    size_t end = out.size();
    while (end > start && (out[end - 1] == ' ' || out[end - 1] == '\t' || out[end - 1] == '\\'))
        --end;
    folder = out.substr(start, end - start);
    if (folder.empty())
        return false;
    if (!(folder[0] == '\\' || folder[0] == '/' || (folder.size() > 1 && folder[1] == ':')))
        folder = program + folder;
    return folder.size() < PATH_BUFFER - 16;
}

// Each byte a UTF-16 unit of its own, as ISO 8859-1 reads it.
std::u16string Widened(const std::string& bytes)
{
    std::u16string out;
    for (char c : bytes)
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static bool ready = false;
    if (!ready) {
        setenv("TOLBRY_A", "C:\\a", 1);
        setenv("TOLBRY_SPACED", "  ", 1);
        setenv("TOLBRY_LONG", std::string(3000, 'l').c_str(), 1);
        ready = true;
    }
    StandinReset();
    StandinSetSpecialFolder(26, "C:\\Users\\L\\AppData\\Roaming");
    StandinSetSpecialFolder(5, "C:\\Users\\L\\Documents");
    std::string program = PROGRAMS[data[0] % 4];
    std::string value(reinterpret_cast<const char*>(data + 1), size - 1);
    value = value.c_str();

    WCHAR folder[PATH_BUFFER];
    for (WCHAR& unit : folder)
        unit = u'z';
    bool usable = ExpandSettingsValue(Widened(value).c_str(), Widened(program).c_str(), false, folder) == Expansion::Done;
    std::string expected;
    size_t expanded = 0;
    bool expectedUsable = Expected(value, program, expected, expanded);
    // The module gives up as soon as a piece does not fit, before trimming; the reading above only at
    // the end. They agree on every value whose expansion fits untrimmed.
    if (usable != expectedUsable && expanded + program.size() < PATH_BUFFER - 16)
        std::abort();
    if (usable && (std::u16string(folder).size() >= PATH_BUFFER - 16 || std::u16string(folder) != Widened(expected)))
        std::abort();
    if (StandinShellLoadsHeld() > 1)
        std::abort();

    // The same bytes as a whole paths.ini, 8-bit, UTF-8 or UTF-16: a value, when found, is a piece of
    // the text, which never holds more units than the file has bytes.
    std::string bytes(reinterpret_cast<const char*>(data), size < SETTINGS_READ_MAX ? size : SETTINGS_READ_MAX);
    static WCHAR text[SETTINGS_READ_MAX];
    size_t length = SettingsText(bytes.data(), bytes.size(), text);
    if (length > bytes.size())
        std::abort();
    WCHAR found[PATH_BUFFER];
    if (FindSettingsValue(text, length, "inidir", found) == Setting::Found &&
        std::u16string(text, length).find(found) == std::u16string::npos)
        std::abort();
    return 0;
}

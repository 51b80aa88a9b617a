// The name a host's text gives a file to add to the playlist.
#pragma once

#include <windows.h>

#include "../trackinfo/location/path_buffer.h"
#include "host_text.h"

// The host's text without blanks around it and then one pair of surrounding double quotes, in
// UTF-16 (an 8-bit host's text is in the ANSI code page). A name that is no URL («scheme://») is made
// absolute against the host's current folder, where the player would resolve it against its own.
// False for an empty name, or one that cannot be made absolute within `name`.
bool AddedName(const HostText& text, WCHAR (&name)[PATH_BUFFER]);

// The tag a host's text names for FILETAG: no text of the host's reaches the player unchecked.
#pragma once

#include <windows.h>

#include "../trackinfo/file_tag.h"
#include "host_text.h"

// The host's text without the blanks around it, when it is 1 to TAG_NAME_MAX ASCII letters, digits or
// underscores («artist», «replaygain_track_gain»); false for any other text, the empty one included.
bool TagName(const HostText& text, WCHAR (&name)[TAG_NAME_MAX + 1]);

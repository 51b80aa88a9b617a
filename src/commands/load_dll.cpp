#include "load_dll.h"

#include "answer.h"
#include "host_text.h"

std::atomic<int> HostWideMax{0};

namespace {

// Every host from 7.0 on is Unicode. Older ones report 6 or a garbled 0 as their major, and their
// structure may end before the fields added later, which are read only from the version that has them.
constexpr WORD FIRST_UNICODE_MAJOR = 7;
constexpr DWORD FIRST_WITH_BYTES = 7 | (64 << 16);

bool AtLeast(DWORD version, DWORD wanted)
{
    WORD major = LOWORD(version), minor = HIWORD(version);
    return major != LOWORD(wanted) ? major > LOWORD(wanted) : minor >= HIWORD(wanted);
}

} // namespace

extern "C" void WINAPI LoadDll(LOADINFO* info)
{
    if (info == nullptr || LOWORD(info->mVersion) < FIRST_UNICODE_MAJOR)
        return;
    info->mUnicode = TRUE;
    // An answer takes 1024 bytes in all, as for an 8-bit host, unless the host says it holds twice that.
    int units = WIDE_ANSWER_MAX;
    if (AtLeast(info->mVersion, FIRST_WITH_BYTES) && info->mBytes >= 2 * (WIDE_LONG_ANSWER_MAX + 1))
        units = WIDE_LONG_ANSWER_MAX;
    HostWideMax.store(units, std::memory_order_relaxed);
}

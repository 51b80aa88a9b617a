#include "file_tag.h"

#include <cstring>

#include "../player/reply_window.h"
#include "closer.h"
#include "list_entry.h"
#include "text.h"

namespace {

using ReplyWindowCloser = Closer<HWND, CloseReplyWindow>;

// «file», 0, «name», 0, as the tag request carries them.
DWORD FileAndName(const WCHAR* file, const WCHAR* name, WCHAR (&out)[PLAYER_FILE_UNITS + TAG_NAME_MAX + 1])
{
    size_t fileUnits = TextLength(file) + 1;
    size_t nameUnits = TextLength(name) + 1;
    std::memcpy(out, file, fileUnits * sizeof(WCHAR));
    std::memcpy(out + fileUnits, name, nameUnits * sizeof(WCHAR));
    return static_cast<DWORD>((fileUnits + nameUnits) * sizeof(WCHAR));
}

// The reply route; false when the player sent no reply to the request for the current file.
bool AskByReply(PlayerLink& player, const WCHAR* name, WCHAR (&tag)[FILE_TAG_UNITS], TagRecord& r)
{
    ReplyWait wait;
    HWND window = OpenReplyWindow(wait, player.window);
    ReplyWindowCloser closer{window};
    r.replyWindow = window != nullptr;
    if (window == nullptr)
        return false;
    WCHAR file[PLAYER_FILE_UNITS];
    r.fileAnswer = RequestReply(player, window, wait, REPLY_CURRENT_FILE, nullptr, 0, file, PLAYER_FILE_UNITS);
    r.fileAnswered = !player.lost;
    r.fileReplied = wait.replied;
    if (!wait.replied)
        return false;
    WCHAR request[PLAYER_FILE_UNITS + TAG_NAME_MAX + 1];
    DWORD bytes = FileAndName(file, name, request);
    RequestReply(player, window, wait, REPLY_FILE_TAG, request, bytes, tag, FILE_TAG_UNITS);
    r.tagReplied = wait.replied;
    return true;
}

// The memory route: the current file as LISTFILE asks it with no number, then the request block.
void AskThroughMemory(PlayerLink& player, const WCHAR* name, WCHAR (&tag)[FILE_TAG_UNITS], TagRecord& r)
{
    PlayerMemory memory = OpenPlayerMemory(player.window, PROCESS_VM_WRITE | PROCESS_VM_OPERATION);
    ProcessCloser closer{memory.process};
    r.opened = memory.process != nullptr;
    r.openError = memory.error;
    r.pointersFit = PointersFit(memory);
    if (!r.pointersFit)
        return;
    WCHAR file[PLAYER_FILE_UNITS];
    ReadListEntryIn(player, memory, HostNumber{false, false, 0.0}, QUERY_LIST_FILE, file, PLAYER_FILE_UNITS);
    if (file[0] == 0)
        return;
    r.route = TagRoute::Memory;
    r.block = AskTagThroughBlock(player, memory, file, name, tag);
}

} // namespace

void ReadFileTag(PlayerLink& player, int version, const WCHAR* name, WCHAR (&tag)[FILE_TAG_UNITS], TagRecord* record)
{
    TagRecord unkept;
    TagRecord& r = record != nullptr ? *record : unkept;
    r = {TagRoute::None, false, false, 0, false, false, version, false, 0, false, BlockFate::NotMade};
    tag[0] = 0;
    if (AskByReply(player, name, tag, r)) {
        r.route = TagRoute::Reply;
        return;
    }
    // Only a player that answered in time, with 0, and has the request block: the programs that
    // imitate the player answer 0 too and have none.
    if (!r.replyWindow || !r.fileAnswered || r.fileAnswer != 0 || version < MIN_TAG_BLOCK_VERSION)
        return;
    AskThroughMemory(player, name, tag, r);
}

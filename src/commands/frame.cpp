#include "frame.h"

bool AdmitCall(void* data, Gate gate, CommandCall& call) noexcept
{
    if (data == nullptr)
        return false;
    // The time the call may wait on the player runs from here.
    call = {{nullptr, GetTickCount(), false}, PLAYER_MISSING, TheHostText(data), 0, 0};
    PlayerSearch search;
    call.status = CheckPlayer(call.player, &search);
    if (search.used >= 0) {
        call.version = search.seen[search.used].version;
        call.playState = search.seen[search.used].playState;
    }
    if (Admits(gate, call.status))
        return true;
    AnswerRefusal(call.text, call.status);
    return false;
}

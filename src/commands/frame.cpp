#include "frame.h"

bool AdmitCall(void* data, Gate gate, CommandCall& call) noexcept
{
    if (data == nullptr)
        return false;
    // The time the call may wait on the player runs from here.
    call = {{nullptr, GetTickCount(), false}, PLAYER_MISSING, TheHostText(data)};
    call.status = CheckPlayer(call.player);
    if (Admits(gate, call.status))
        return true;
    AnswerRefusal(call.text, call.status);
    return false;
}

// The shape every exported command shares: find and classify the player, refuse what the command's
// gate does not admit, otherwise act on the window found. The module is built without exceptions
// and allocates nothing, so no failure can leave a routine other than through its answer.
#pragma once

#include <windows.h>

#include "../player/check_player.h"
#include "answer.h"
#include "host_text.h"

// Every command returns this to the host, whatever happened.
constexpr int COMMAND_RESULT = 3;

enum class Gate {
    Strict,  // only a playing player
    Lenient, // a player that is playing, paused or stopped
};

inline bool Admits(Gate gate, PlayerStatus status)
{
    return status == PLAYER_READY || (gate == Gate::Lenient && status == PLAYER_NOT_PLAYING);
}

// `action(player, status, text)` runs once the gate admits the call.
template <typename Action>
int RunCommand(void* data, Gate gate, Action action) noexcept
{
    if (data == nullptr)
        return COMMAND_RESULT;
    HostText text = TheHostText(data);
    // The time the call may wait on the player runs from here.
    PlayerLink player{nullptr, GetTickCount(), false};
    PlayerStatus status = CheckPlayer(player);
    if (!Admits(gate, status))
        AnswerRefusal(text, status);
    else
        action(player, status, text);
    return COMMAND_RESULT;
}

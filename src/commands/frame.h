// The shape every exported command shares: find and classify the player, refuse what the command's
// gate does not admit, otherwise act on the window found. The module is built without exceptions
// and allocates nothing, so no failure can leave a routine other than through its answer.
#pragma once

#include <windows.h>

#include "../player/check_player.h"
#include "../player/playlist_number.h"
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

// What an admitted command acts with: the window found, what the gate saw, and the host's text.
struct CommandCall {
    PlayerLink player;
    PlayerStatus status;
    HostText text;
    int version;   // what the window used answered, as the search asked it
    int playState;
};

// Finds and classifies the player for a call on `data`, refusing in the host's buffer what `gate`
// does not admit; true when the command may act. One function for every command, so that each
// export holds only its action.
bool AdmitCall(void* data, Gate gate, CommandCall& call) noexcept;

// `action(call)` runs once the gate admits the call.
template <typename Action>
int RunCommand(void* data, Gate gate, Action action) noexcept
{
    CommandCall call;
    if (AdmitCall(data, gate, call))
        action(call);
    return COMMAND_RESULT;
}

// For an action that reads the title in the host's own width: `narrow` for an 8-bit host, `wide` for
// a Unicode one.
inline int RunCommand(void* data, Gate gate, void (*narrow)(CommandCall&), void (*wide)(CommandCall&)) noexcept
{
    return RunCommand(data, gate, [narrow, wide](CommandCall& call) { (call.text.Wide() ? wide : narrow)(call); });
}

// The number at the start of the host's text, in whichever width the host speaks.
inline HostNumber NumberIn(const HostText& text)
{
    return text.Wide() ? ReadHostNumber(text.Units()) : ReadHostNumber(text.Narrow());
}

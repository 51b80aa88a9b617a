// tolbry-host --explain: what the module sees and decides, for a user whose answer is not the one
// they expect. Every decision is the module's own code, linked in, never a copy of it.
#pragma once

// Prints every window of the player's class, the one a call uses and why, the player's program
// folder and how it was found, paths.ini and the value taken from it, and the playlist path. Returns
// the exit code.
int Explain();

#pragma once

// With "scroll title in the taskbar" on, the player's window text is a rotation of its caption C
// joined by « *** »: C[p:] + « *** » + C, or the tail of « *** » + C + « *** ». Gives C, in place;
// a title that is no such rotation is given as it stands.
char* UnscrollTitle(char* title);

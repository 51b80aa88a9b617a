#pragma once

// With "scroll title in the taskbar" on, the player's window text is a rotation of its caption C
// joined by « *** »: C[p:] + « *** » + C, or the tail of « *** » + C + « *** ». Gives C, in place;
// a title that is no such rotation is given as it stands. For 8-bit and UTF-16 titles alike.
template <typename Char>
Char* UnscrollTitle(Char* title);

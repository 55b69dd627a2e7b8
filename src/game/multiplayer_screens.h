// The multiplayer screens of states 3, 4 and 5 (the dispatch of all three
// is DrawMultiplayerMenu / UpdateMultiplayerMenu of game/menus.h).
#pragma once

void DrawHostLobby();    // state 4
void UpdateHostLobby();
void DrawClientLobby();  // state 5
void UpdateClientLobby();

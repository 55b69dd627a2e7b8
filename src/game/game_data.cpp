#include "game/game_state.h"

GameState gGame;

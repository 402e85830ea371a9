// The duel: one frame of play, the reset that starts a new bout, and the
// movement and hit routines they use. All work on the records of
// game/game_state.h.
#pragma once

#include "game/game_state.h"

// Sets stepX and stepY from heading: speedX across and speedY up or down,
// only on the axes the heading has; (1, 1) for a heading outside 0..7.
void SetStepFromHeading(GameSprite* sprite, int speedX, int speedY);
// Clamps a fighter into x 0..800 and y 60..600.
void KeepFighterInField(GameSprite* fighter);
// Pushes a fighter out of a desk, sides first, then top and bottom.
void BlockAgainstDesk(GameSprite* fighter, GameSprite* desk);
// Clamps an airplane into x 0..800, y 40..600 and turns its heading away
// from the edge it met.
void BounceOffEdges(GameSprite* airplane);
// Pushes an airplane out of a desk and turns its heading away from it.
void BounceOffDesk(GameSprite* airplane, GameSprite* desk);
// True when the airplane's box overlaps the player's hit box: the player's
// box inset by 20 pixels at either side and 24 at top and bottom, 16 by 16
// for a fighter (touching edges do not count). Does not look at visibility.
bool AirplaneHitsPlayer(GameSprite* player, GameSprite* airplane);

// One frame of the duel (gameState STATE_PLAY): turning, walking, throwing,
// flight, field and desk limits, hits and scoring. May set gameState to a
// score or win banner.
void Duel_Step();
// Puts fighters and airplanes at their start: position and heading, no
// step; a fighter's source rectangle goes back to its sheet's first cell and
// no walk frame has begun, an airplane is idle. Start-up places them with it
// too. Sizes, textures, scores and the other sprites are kept.
void Reset_Bout();

// The computer as the game's opponent (see opponent.h).
#include "game/computer/opponent.h"

#include <ctime>
#include <optional>

#include "game/assets.h"
#include "game/computer/computer_player.h"
#include "input/input.h"

static int computerSide = NO_COMPUTER;
static int computerLevel = DEFAULT_COMPUTER_LEVEL;
static std::optional<ComputerPlayer> computer;
static bool latchC;

// The keys of the two sides, in pairs: left player's, right player's.
static const int KEY_PAIRS[5][2] = {
    {DIK_A, DIK_LEFT}, {DIK_D, DIK_RIGHT}, {DIK_W, DIK_UP}, {DIK_S, DIK_DOWN}, {DIK_F, DIK_RCONTROL}};

static void Seat_Computer() {
  if (computerSide == NO_COMPUTER) {
    computer.reset();
    return;
  }
  computer.emplace(computerSide, computerLevel, uint32_t(time(NULL)) ^ uint32_t(GetTickCount()));
}

void Computer_Choose(int side, int level) {
  computerSide = side == SIDE_LEFT || side == SIDE_RIGHT ? side : NO_COMPUTER;
  computerLevel = level < ComputerPlayer::LOWEST_LEVEL || level > ComputerPlayer::HIGHEST_LEVEL
                      ? DEFAULT_COMPUTER_LEVEL
                      : level;
  Seat_Computer();
}

int Computer_Side() { return computerSide; }
int Computer_Level() { return computerLevel; }

// The key source: in a duel, the computer's side's keys become the
// person's and the computer sets its own; elsewhere nothing changes.
static void Computer_Keys(BYTE* keys) {
  if (!computer || (gameState != STATE_PLAY && gameState != STATE_NEW_BOUT)) return;
  const int person = 1 - computerSide;
  for (const int* pair : KEY_PAIRS) {
    if (keys[pair[computerSide]] & 0x80) keys[pair[person]] = 0x80;
    keys[pair[computerSide]] = 0;
  }
  if (gameState == STATE_NEW_BOUT)
    computer->New_Bout();
  else
    computer->Decide(keys);
}

void Computer_Start() { Set_KeySource(Computer_Keys); }

void Computer_MenuStep() {
  if (!Key_Held(DIK_C)) {
    latchC = false;
    return;
  }
  if (latchC) return;
  latchC = true;
  computerSide = computerSide == SIDE_RIGHT ? NO_COMPUTER : SIDE_RIGHT;
  Seat_Computer();
  Load_ComputerPlate();
}

IDirect3DTexture9* Name_Plate(int side) {
  const GameSprite& person = side == SIDE_LEFT ? leftName : rightName;
  const GameSprite& plate = side == SIDE_LEFT ? leftComputerName : rightComputerName;
  return computerSide == side && plate.tex ? plate.tex : person.tex;
}

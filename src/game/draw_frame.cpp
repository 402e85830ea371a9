// The drawing pass: background, menu, then the sprites in their fixed order.
#include "game/computer/opponent.h"
#include "game/draw_frame.h"
#include "game/game_state.h"
#include "graphics/graphics.h"

static const D3DCOLOR CLEAR_COLOUR = 0xFF0000FF;
static const D3DCOLOR UNTINTED = 0xFFFFFFFF;
static const int MENU_PLATE_RIGHT = 772;
static const int MENU_PLATE_BOTTOM = 548;

static void Copy_ToBackBuffer(IDirect3DSurface9* surface) {
  if (surface) d3d_device->StretchRect(surface, NULL, back_buffer, NULL, D3DTEXF_NONE);
}

// Draws a visible sprite with an image at its position; `whole` draws the
// whole texture instead of its source rectangle.
static void Draw_Sprite(const GameSprite& sprite, bool whole) {
  if (!sprite.visible || sprite.tex == NULL) return;
  drawPos.x = (float)sprite.x;
  drawPos.y = (float)sprite.y;
  sprite_handler->Draw(sprite.tex, whole ? NULL : &sprite.srcRect, NULL, &drawPos, UNTINTED);
}

// Full screens are drawn at the top-left corner whatever their record holds.
static void Draw_FullScreen(const GameSprite& screen) {
  if (!screen.visible || screen.tex == NULL) return;
  drawPos.x = 0.0f;
  drawPos.y = 0.0f;
  sprite_handler->Draw(screen.tex, NULL, NULL, &drawPos, UNTINTED);
}

// A name plate at its record's place, showing the computer's plate on the
// side the computer plays.
static void Draw_NamePlate(const GameSprite& plate, int side) {
  GameSprite shown = plate;
  shown.tex = Name_Plate(side);
  Draw_Sprite(shown, true);
}

// On the menu, the computer's plate in the lower right corner of the board
// says that, and on which side, the computer plays.
static void Draw_MenuPlate() {
  if (gameState != STATE_MENU || Computer_Side() == NO_COMPUTER) return;
  GameSprite shown = Computer_Side() == SIDE_LEFT ? leftComputerName : rightComputerName;
  shown.x = MENU_PLATE_RIGHT - shown.width;
  shown.y = MENU_PLATE_BOTTOM - shown.height;
  shown.visible = true;
  Draw_Sprite(shown, true);
}

void Draw_Frame() {
  if (d3d_device->BeginScene() != D3D_OK) return;

  d3d_device->Clear(0, NULL, D3DCLEAR_TARGET, CLEAR_COLOUR, 1.0f, 0);
  Copy_ToBackBuffer(classroomSurface);
  if (gameState == STATE_MENU) Copy_ToBackBuffer(menuSurface);

  sprite_handler->Begin(D3DXSPRITE_ALPHABLEND);
  Draw_FullScreen(creditsScreen);
  Draw_FullScreen(helpScreen);
  Draw_Sprite(menuCursor, true);
  Draw_MenuPlate();
  Draw_NamePlate(rightName, SIDE_RIGHT);
  Draw_NamePlate(leftName, SIDE_LEFT);
  Draw_Sprite(rightDigit, false);
  Draw_Sprite(leftDigit, false);
  for (const GameSprite& desk : desks) Draw_Sprite(desk, false);
  Draw_Sprite(rightFighter, false);
  Draw_Sprite(leftFighter, false);
  Draw_Sprite(leftPlane, false);
  Draw_Sprite(rightPlane, false);
  Draw_Sprite(rightScoresBanner, true);
  Draw_Sprite(leftScoresBanner, true);
  Draw_Sprite(rightWinsBanner, true);
  Draw_Sprite(leftWinsBanner, true);
  sprite_handler->End();

  d3d_device->EndScene();
}

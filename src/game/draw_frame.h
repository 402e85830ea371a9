// The drawing pass of one frame.
#pragma once

// Draws the background, the menu when it shows and every visible sprite in
// the fixed order; draws nothing when the scene cannot begin. Records and
// surfaces without an image are left out.
void Draw_Frame();

// The game's images as a group, beside Game_Init and Game_Shutdown: all of
// them live in the device's default pool, so they go before a device reset
// and come back after it, through the same loaders and files.
#pragma once

// Loads the two background surfaces and the nineteen sprite textures into
// their records, in the fixed order, then the computer's name plate when it
// plays; each loader writes its own line, and an image that fails to load
// leaves its record without one.
void Load_Images();
// Releases every image held and leaves the handles null.
void Release_Images();
// Loads the computer's name plate of the side it plays, when it plays one
// and the plate is not loaded yet (Load_Images does this too). The plates
// are of the group: released and reloaded with the other images.
void Load_ComputerPlate();

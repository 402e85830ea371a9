// The game's images as a group, beside Game_Init and Game_Shutdown: all of
// them live in the device's default pool, so they go before a device reset
// and come back after it, through the same loaders and files.
#pragma once

// Loads the two background surfaces and the nineteen sprite textures into
// their records, in the fixed order; each loader writes its own line, and an
// image that fails to load leaves its record without one.
void Load_Images();
// Releases every image held and leaves the handles null.
void Release_Images();

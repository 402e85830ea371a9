// Image loaders over the device of graphics/graphics.h. Names are relative to
// the working folder. Each call writes one line to the run log; the caller
// owns the result (one reference) and gets null on failure.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

// An off-screen surface in the back buffer's format holding the whole image
// at its own size, usable as a copy source.
IDirect3DSurface9* LoadSurface(const char* filename, D3DCOLOR transcolor);
// A one-level texture of the image pixel for pixel, with pixels of exactly
// the key colour fully transparent.
IDirect3DTexture9* LoadTexture(const char* filename, D3DCOLOR transcolor);

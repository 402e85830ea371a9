// Loading images from files into surfaces and colour-keyed textures.
#include <iostream>

#include "graphics/graphics.h"
#include "graphics/image_loaders.h"

IDirect3DSurface9* LoadSurface(const char* filename, D3DCOLOR transcolor) {
  D3DXIMAGE_INFO info;
  if (D3DXGetImageInfoFromFileA(filename, &info) != D3D_OK) {
    std::cerr << "D3DXGetImageInfoFromFile Failed\n";
    return NULL;
  }

  IDirect3DSurface9* image = NULL;
  HRESULT result = d3d_device->CreateOffscreenPlainSurface(info.Width, info.Height, D3DFMT_X8R8G8B8,
                                                           D3DPOOL_DEFAULT, &image, NULL);
  if (result != D3D_OK) {
    std::cerr << "CreateOffscreenPlainSurface failed\n";
    return NULL;
  }

  result = D3DXLoadSurfaceFromFileA(image, NULL, NULL, filename, NULL, D3DX_DEFAULT, transcolor, NULL);
  if (result != D3D_OK) {
    // The surface is of no use without its picture.
    image->Release();
    std::cerr << "D3DXLoadSurfaceFromFile failed\n";
    return NULL;
  }

  std::cerr << "LoadSurface() successful\n";
  return image;
}

IDirect3DTexture9* LoadTexture(const char* filename, D3DCOLOR transcolor) {
  D3DXIMAGE_INFO info;
  if (D3DXGetImageInfoFromFileA(filename, &info) != D3D_OK) {
    std::cerr << "D3DXGetImageInfoFromFile failed\n";
    return NULL;
  }

  IDirect3DTexture9* texture = NULL;
  HRESULT result = D3DXCreateTextureFromFileExA(d3d_device, filename, info.Width, info.Height, 1, 0,
                                                D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                                transcolor, &info, NULL, &texture);
  if (result != D3D_OK) {
    std::cerr << "CreateTextureFromFileEx failed\n";
    return NULL;
  }

  std::cerr << "LoadTexture() Successful\n";
  return texture;
}

// D3DX 9 sprite drawing: textures drawn in screen pixels onto the device's
// back buffer, alpha-blended on request.
#pragma once

#include "d3d9.h"
#include "d3dx9math.h"

// Flags of ID3DXSprite::Begin.
#define D3DXSPRITE_DONOTSAVESTATE (1 << 0)
#define D3DXSPRITE_DONOTMODIFY_RENDERSTATE (1 << 1)
#define D3DXSPRITE_OBJECTSPACE (1 << 2)
#define D3DXSPRITE_BILLBOARD (1 << 3)
#define D3DXSPRITE_ALPHABLEND (1 << 4)
#define D3DXSPRITE_SORT_TEXTURE (1 << 5)
#define D3DXSPRITE_SORT_DEPTH_FRONTTOBACK (1 << 6)
#define D3DXSPRITE_SORT_DEPTH_BACKTOFRONT (1 << 7)

struct ID3DXSprite : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Begin(DWORD Flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Draw(LPDIRECT3DTEXTURE9 pTexture, CONST RECT* pSrcRect,
                                         CONST D3DXVECTOR3* pCenter, CONST D3DXVECTOR3* pPosition,
                                         D3DCOLOR Color) = 0;
  virtual HRESULT STDMETHODCALLTYPE End() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnLostDevice() = 0;
  virtual HRESULT STDMETHODCALLTYPE OnResetDevice() = 0;
};
typedef ID3DXSprite* LPD3DXSPRITE;

HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE9 pDevice, LPD3DXSPRITE* ppSprite);

// D3DX 9 vector types.
#pragma once

#include "d3d9types.h"

struct D3DXVECTOR3 : public D3DVECTOR {
  D3DXVECTOR3() = default;
  D3DXVECTOR3(const float* xyz) {
    x = xyz[0];
    y = xyz[1];
    z = xyz[2];
  }
  D3DXVECTOR3(const D3DVECTOR& v) {
    x = v.x;
    y = v.y;
    z = v.z;
  }
  D3DXVECTOR3(float fx, float fy, float fz) {
    x = fx;
    y = fy;
    z = fz;
  }
};
typedef D3DXVECTOR3* LPD3DXVECTOR3;

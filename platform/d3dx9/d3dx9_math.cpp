// D3DX matrix helpers used by the program: left-handed look-at and perspective
// projection, and translation. Row-vector convention (v' = v * M) as in D3DX;
// all arithmetic in float. Degenerate inputs (eye == at, up parallel to the
// view direction, zn == zf, fovy == 0) give non-finite results, as they do in D3DX.
#include <d3dx9.h>

#include <cmath>

namespace {

D3DXVECTOR3 Subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return D3DXVECTOR3(a.x - b.x, a.y - b.y, a.z - b.z);
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

D3DXVECTOR3 Normalize(const D3DXVECTOR3& v) {
  const float length = std::sqrt(Dot(v, v));
  return D3DXVECTOR3(v.x / length, v.y / length, v.z / length);
}

}  // namespace

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye,
                                      const D3DXVECTOR3* pAt, const D3DXVECTOR3* pUp) {
  const D3DXVECTOR3 zAxis = Normalize(Subtract(*pAt, *pEye));
  const D3DXVECTOR3 xAxis = Normalize(Cross(*pUp, zAxis));
  const D3DXVECTOR3 yAxis = Cross(zAxis, xAxis);
  *pOut =
      D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0.0f, xAxis.y, yAxis.y, zAxis.y, 0.0f, xAxis.z, yAxis.z,
                 zAxis.z, 0.0f, -Dot(xAxis, *pEye), -Dot(yAxis, *pEye), -Dot(zAxis, *pEye), 1.0f);
  return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT Aspect, FLOAT zn,
                                              FLOAT zf) {
  const float yScale = 1.0f / std::tan(fovy / 2.0f);
  const float xScale = yScale / Aspect;
  *pOut = D3DXMATRIX(xScale, 0.0f, 0.0f, 0.0f, 0.0f, yScale, 0.0f, 0.0f, 0.0f, 0.0f, zf / (zf - zn),
                     1.0f, 0.0f, 0.0f, -zn * zf / (zf - zn), 0.0f);
  return pOut;
}

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* pOut, FLOAT x, FLOAT y, FLOAT z) {
  *pOut = D3DXMATRIX(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, x, y,
                     z, 1.0f);
  return pOut;
}

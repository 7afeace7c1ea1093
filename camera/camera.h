// The viewer's first-person camera: eye, heading (yaw) and elevation (pitch),
// turned into the view transform; the projection is set once.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

class Camera {
 public:
  // Places the eye at the near edge of the field and sets view and projection.
  int Init(IDirect3DDevice9* device, int width, int height);
  // One fixed step of a MovementCommand (other values make no step), then
  // the view is recomputed and sent to the device.
  int Update(int command);

  // No constructor: the global instance starts all zero until Init.
  float eyeX, eyeY, eyeZ;
  float lookAtX, lookAtY, lookAtZ;
  float speed;
  float yaw;
  float pitch;
  float turnStep;
  D3DXMATRIX matView;
  D3DXMATRIX matProj;
  IDirect3DDevice9* pDevice;

 private:
  void SetView();
};

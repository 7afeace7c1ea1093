#include "camera/camera.h"

#include <math.h>

#include "input/keyboard.h"

void Camera::SetView() {
  D3DXVECTOR3 eye(eyeX, eyeY, eyeZ);
  D3DXVECTOR3 lookAt(lookAtX, lookAtY, lookAtZ);
  D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&matView, &eye, &lookAt, &up);
  pDevice->SetTransform(D3DTS_VIEW, &matView);
}

int Camera::Init(IDirect3DDevice9* device, int width, int height) {
  pDevice = device;
  eyeX = 55.0f;
  eyeY = 1.0f;
  eyeZ = 0.0f;
  // Until the first update the view looks steeply down just ahead of the eye.
  lookAtX = 55.0f;
  lookAtY = 0.6f;
  lookAtZ = 0.1f;
  speed = 0.2f;
  yaw = 0.0f;
  pitch = 0.1f;
  turnStep = 0.01f;
  SetView();

  float aspect = (float)width / (float)height;
  D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, aspect, 1.0f, 100.0f);
  pDevice->SetTransform(D3DTS_PROJECTION, &matProj);
  return 0;
}

int Camera::Update(int command) {
  switch (command) {
    case CMD_FORWARD:
      eyeX += sinf(yaw) * speed;
      eyeZ += cosf(yaw) * speed;
      break;
    case CMD_BACK:
      eyeX -= sinf(yaw) * speed;
      eyeZ -= cosf(yaw) * speed;
      break;
    case CMD_TURN_LEFT: yaw -= turnStep; break;
    case CMD_TURN_RIGHT: yaw += turnStep; break;
    case CMD_LOOK_UP:
      // Tested before the step, so the pitch may end just past a right angle.
      if (pitch < 1.57f) pitch += turnStep;
      break;
    case CMD_LOOK_DOWN:
      if (pitch > -1.57f) pitch -= turnStep;
      break;
    case CMD_RISE: eyeY += 0.1f; break;
    case CMD_SINK: eyeY -= 0.1f; break;
    default: break;
  }

  lookAtX = eyeX + cosf(pitch) * sinf(yaw);
  lookAtY = eyeY + sinf(pitch);
  lookAtZ = eyeZ + cosf(pitch) * cosf(yaw);
  SetView();
  return 0;
}

// What each of the three meshes does when its vertex buffer fails it: no
// buffer at all (Create or Build leaves it null, Draw issues nothing), a Lock
// that fails (nothing is written, nothing unlocked) and a Lock that yields no
// memory (nothing is written through it). One typed test for the strip, the
// pyramid and the cube; their strict doubles reject any other call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "mocks/d3d9_mocks.h"
#include "world/cube.h"
#include "world/floor_strip.h"
#include "world/pyramid.h"

namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrictMock;

// How a mesh makes its buffer and draws, and how many bytes it uploads.
struct StripMesh {
  static constexpr size_t kBytes = 80;
  FloorStrip mesh;
  void SetUp(StrictMock<MockDevice>& device) {
    // Load without a grass file: only the two sampler states reach the device.
    EXPECT_CALL(device, SetSamplerState(_, _, _)).Times(2);
    ASSERT_EQ(0, mesh.Load(&device));
    ::testing::Mock::VerifyAndClearExpectations(&device);
  }
  void MakeBuffer(IDirect3DDevice9*) { EXPECT_EQ(0, mesh.Build()); }
  void Draw(IDirect3DTexture9*) { EXPECT_EQ(0, mesh.Draw()); }
};

struct PyramidMesh {
  static constexpr size_t kBytes = 96;
  Pyramid mesh;
  void SetUp(StrictMock<MockDevice>&) {}
  void MakeBuffer(IDirect3DDevice9* device) {
    EXPECT_EQ(0, mesh.Create(device));
    EXPECT_EQ(0, mesh.Build());
  }
  void Draw(IDirect3DTexture9*) { EXPECT_EQ(0, mesh.Draw()); }
};

struct CubeMesh {
  static constexpr size_t kBytes = 720;
  Cube mesh;
  void SetUp(StrictMock<MockDevice>&) {}
  void MakeBuffer(IDirect3DDevice9* device) { EXPECT_EQ(0, mesh.Create(device)); }
  void Draw(IDirect3DTexture9* texture) {
    EXPECT_EQ(0, mesh.Draw(texture));
    EXPECT_EQ(0, mesh.Draw(nullptr));
  }
};

template <typename Mesh>
class MeshBuffer : public ::testing::Test {
 protected:
  void SetUp() override { mesh_.SetUp(device_); }

  void BufferIsMade() {
    EXPECT_CALL(device_, CreateVertexBuffer(_, _, _, _, _, _))
        .WillOnce(DoAll(SetArgPointee<4>(&buffer_), Return(D3D_OK)));
    EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));  // the destructor, once
  }

  StrictMock<MockDevice> device_;
  StrictMock<MockVertexBuffer> buffer_;
  StrictMock<MockTexture> texture_;
  Mesh mesh_;  // declared last: destroyed before the doubles it releases
};

using Meshes = ::testing::Types<StripMesh, PyramidMesh, CubeMesh>;
class MeshNames {
 public:
  template <typename T>
  static std::string GetName(int) {
    if (std::is_same<T, StripMesh>::value) return "FloorStrip";
    if (std::is_same<T, PyramidMesh>::value) return "Pyramid";
    return "Cube";
  }
};
TYPED_TEST_SUITE(MeshBuffer, Meshes, MeshNames);

TYPED_TEST(MeshBuffer, WithoutABufferNothingIsLockedOrDrawn) {
  EXPECT_CALL(this->device_, CreateVertexBuffer(_, _, _, _, _, _)).WillOnce(Return(E_OUTOFMEMORY));
  this->mesh_.MakeBuffer(&this->device_);
  EXPECT_EQ(nullptr, this->mesh_.mesh.pVertexBuffer);
  // Strict doubles: any Lock, SetStreamSource or DrawPrimitive would fail here.
  this->mesh_.Draw(&this->texture_);
}

TYPED_TEST(MeshBuffer, FailedLockCopiesNothingAndDoesNotUnlock) {
  std::vector<std::uint8_t> memory(TypeParam::kBytes, 0xCD);
  this->BufferIsMade();
  EXPECT_CALL(this->buffer_, Lock(_, _, _, _))
      .WillOnce(DoAll(SetArgPointee<2>(memory.data()), Return(D3DERR_INVALIDCALL)));
  this->mesh_.MakeBuffer(&this->device_);
  EXPECT_EQ(std::vector<std::uint8_t>(TypeParam::kBytes, 0xCD), memory)
      << "nothing written after a failed Lock";
}

TYPED_TEST(MeshBuffer, LockThatYieldsNoMemoryIsNotWrittenThrough) {
  this->BufferIsMade();
  EXPECT_CALL(this->buffer_, Lock(_, _, _, _))
      .WillOnce(DoAll(SetArgPointee<2>(nullptr), Return(D3D_OK)));
  EXPECT_CALL(this->buffer_, Unlock()).Times(::testing::AtMost(1));
  this->mesh_.MakeBuffer(&this->device_);  // would crash copying to null
}

}  // namespace

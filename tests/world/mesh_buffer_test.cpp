// The three meshes (strip, pyramid, cube) against one device fixture: the
// buffer each makes (size, usage, format, pool) and the table it uploads
// (the program's own, which each mesh's test checks byte for byte), the
// calls of Draw, and what each does when its vertex buffer fails it: no
// buffer at all (Create or Build leaves it null, Draw issues nothing), a Lock
// that fails (nothing is written, nothing unlocked) and a Lock that yields no
// memory (nothing is written through it). Strict doubles reject any call
// not expected.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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
using ::testing::InSequence;
using ::testing::IsNull;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrictMock;

const DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_TEX1;    // 0x102
const DWORD kColoredFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;  // 0x42

// How a mesh makes its buffer and draws: its buffer's description, the table
// it uploads, and the calls one Draw makes (in order).
struct StripMesh {
  static constexpr size_t kBytes = 80;
  static constexpr DWORD kUsage = D3DUSAGE_WRITEONLY;
  static constexpr D3DPOOL kPool = D3DPOOL_DEFAULT;
  static constexpr DWORD kFvf = kTexturedFvf;
  static const void* Table() { return g_floorVertices; }
  static void ExpectDraw(StrictMock<MockDevice>& device, IDirect3DVertexBuffer9* buffer,
                         IDirect3DTexture9* texture) {
    // The strip draws with its own texture (set by Load).
    InSequence order;
    EXPECT_CALL(device, SetFVF(kTexturedFvf));
    EXPECT_CALL(device, SetRenderState(D3DRS_FILLMODE, DWORD(D3DFILL_SOLID)));
    EXPECT_CALL(device, SetTexture(0u, texture));
    EXPECT_CALL(device, SetStreamSource(0u, buffer, 0u, 20u));
    EXPECT_CALL(device, DrawPrimitive(D3DPT_TRIANGLESTRIP, 0u, 2u));
  }
  FloorStrip mesh;
  void SetUp(StrictMock<MockDevice>& device) {
    // Load without a grass file: only the two sampler states reach the device.
    EXPECT_CALL(device, SetSamplerState(_, _, _)).Times(2);
    ASSERT_EQ(0, mesh.Load(&device));
    ::testing::Mock::VerifyAndClearExpectations(&device);
  }
  void MakeBuffer(IDirect3DDevice9*) { EXPECT_EQ(0, mesh.Build()); }
  // The strip owns its texture: its destructor releases it.
  void Give(StrictMock<MockTexture>& texture) {
    mesh.pTexture = &texture;
    EXPECT_CALL(texture, Release()).WillOnce(Return(0));
  }
  void Draw(IDirect3DTexture9*) { EXPECT_EQ(0, mesh.Draw()); }
};

struct PyramidMesh {
  static constexpr size_t kBytes = 96;
  static constexpr DWORD kUsage = 0;
  static constexpr D3DPOOL kPool = D3DPOOL_DEFAULT;
  static constexpr DWORD kFvf = kColoredFvf;
  static const void* Table() { return g_triangleFan; }
  static void ExpectDraw(StrictMock<MockDevice>& device, IDirect3DVertexBuffer9* buffer,
                         IDirect3DTexture9*) {
    // No SetTexture: the strict device fails the test on one.
    InSequence order;
    EXPECT_CALL(device, SetRenderState(D3DRS_FILLMODE, DWORD(D3DFILL_SOLID)));
    EXPECT_CALL(device, SetStreamSource(0u, buffer, 0u, 16u));
    EXPECT_CALL(device, SetFVF(kColoredFvf));
    EXPECT_CALL(device, DrawPrimitive(D3DPT_TRIANGLEFAN, 0u, 4u));
  }
  Pyramid mesh;
  void SetUp(StrictMock<MockDevice>&) {}
  void MakeBuffer(IDirect3DDevice9* device) {
    EXPECT_EQ(0, mesh.Create(device));
    EXPECT_EQ(0, mesh.Build());
  }
  void Give(StrictMock<MockTexture>&) {}
  void Draw(IDirect3DTexture9*) { EXPECT_EQ(0, mesh.Draw()); }
};

struct CubeMesh {
  static constexpr size_t kBytes = 720;
  static constexpr DWORD kUsage = D3DUSAGE_WRITEONLY;
  static constexpr D3DPOOL kPool = D3DPOOL_MANAGED;
  static constexpr DWORD kFvf = kTexturedFvf;
  static const void* Table() { return CubeVertices; }
  static void ExpectDraw(StrictMock<MockDevice>& device, IDirect3DVertexBuffer9* buffer,
                         IDirect3DTexture9* texture) {
    // Draw(texture) then Draw(nullptr): every draw sets its four states
    // afresh, with its own texture; a null texture draws untextured, not
    // nothing.
    InSequence order;
    for (IDirect3DTexture9* t : {texture, static_cast<IDirect3DTexture9*>(nullptr)}) {
      EXPECT_CALL(device, SetRenderState(D3DRS_FILLMODE, DWORD(D3DFILL_SOLID)));
      EXPECT_CALL(device, SetStreamSource(0u, buffer, 0u, 20u));
      EXPECT_CALL(device, SetFVF(kTexturedFvf));
      EXPECT_CALL(device, SetTexture(0u, t));
      EXPECT_CALL(device, DrawPrimitive(D3DPT_TRIANGLELIST, 0u, 12u));
    }
  }
  Cube mesh;
  void SetUp(StrictMock<MockDevice>&) {}
  void MakeBuffer(IDirect3DDevice9* device) { EXPECT_EQ(0, mesh.Create(device)); }
  void Give(StrictMock<MockTexture>&) {}  // lent at each Draw instead
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

TYPED_TEST(MeshBuffer, MakesItsBufferAndUploadsItsTable) {
  std::vector<std::uint8_t> memory(TypeParam::kBytes, 0xCD);
  {
    InSequence order;
    EXPECT_CALL(this->device_, CreateVertexBuffer(UINT(TypeParam::kBytes), TypeParam::kUsage,
                                                  TypeParam::kFvf, TypeParam::kPool, _, IsNull()))
        .WillOnce(DoAll(SetArgPointee<4>(&this->buffer_), Return(D3D_OK)));
    EXPECT_CALL(this->buffer_, Lock(0u, UINT(TypeParam::kBytes), _, 0u))
        .WillOnce(DoAll(SetArgPointee<2>(memory.data()), Return(D3D_OK)));
    EXPECT_CALL(this->buffer_, Unlock()).WillOnce(Return(D3D_OK));
    EXPECT_CALL(this->buffer_, Release()).WillOnce(Return(0));  // the destructor, once
  }
  this->mesh_.MakeBuffer(&this->device_);
  EXPECT_EQ(&this->buffer_, this->mesh_.mesh.pVertexBuffer);
  EXPECT_EQ(&this->device_, this->mesh_.mesh.pDevice);
  EXPECT_EQ(0, std::memcmp(TypeParam::Table(), memory.data(), TypeParam::kBytes))
      << "the locked memory holds the mesh's table byte for byte";
}

TYPED_TEST(MeshBuffer, DrawMakesItsCallsInOrderWithTheTexturesLent) {
  this->mesh_.mesh.pDevice = &this->device_;
  this->mesh_.mesh.pVertexBuffer = &this->buffer_;
  this->mesh_.Give(this->texture_);
  TypeParam::ExpectDraw(this->device_, &this->buffer_, &this->texture_);
  this->mesh_.Draw(&this->texture_);
  // The cube's and pyramid's textures are lent, not owned: the strict
  // texture rejects any AddRef or Release (the strip's own: FloorStripBuffer).
  EXPECT_CALL(this->buffer_, Release()).WillOnce(Return(0));
}

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

using FloorStripBuffer = MeshBuffer<StripMesh>;

TEST_F(FloorStripBuffer, DrawWithoutATextureBindsNoneOnStage0) {
  mesh_.mesh.pVertexBuffer = &buffer_;
  EXPECT_CALL(device_, SetFVF(_));
  EXPECT_CALL(device_, SetRenderState(_, _));
  EXPECT_CALL(device_, SetTexture(0u, IsNull()));
  EXPECT_CALL(device_, SetStreamSource(0u, &buffer_, 0u, 20u));
  EXPECT_CALL(device_, DrawPrimitive(D3DPT_TRIANGLESTRIP, 0u, 2u));
  EXPECT_EQ(0, mesh_.mesh.Draw());
  EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));
}

TEST_F(FloorStripBuffer, DestructionReleasesTheBufferThenTheTextureOnce) {
  mesh_.mesh.pVertexBuffer = &buffer_;
  mesh_.mesh.pTexture = &texture_;
  InSequence order;
  EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));
  EXPECT_CALL(texture_, Release()).WillOnce(Return(0));
}

}  // namespace

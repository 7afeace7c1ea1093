// Tests of the texture set: the 25 start-up loads in their order, the sky
// faces' exact-size loads and failure boxes, and the name-keyed map.
//
// The real D3DX loader reads real image files that each test writes into a
// scratch working directory; the device is the shared recording double
// (mocks/fake_d3d9.h), which hands out in-memory textures. Every file gets its own image
// size, so the sequence of CreateTexture sizes tells which file was loaded
// when. Message boxes go to the layer's MessageBox hook.
#include "textures/texture_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "mocks/fake_d3d9.h"
#include "platform_hooks.h"
#include "textures/test_files.h"

namespace {

// The files in the order the set loads them: objects 0-16, wall, fighter,
// then the sky faces front, back, left, right, top, bottom.
const char* const kLoadOrder[25] = {
    "pic/obj/holz2.jpg",    "pic/obj/GINGHAM.jpg",  "pic/obj/LEOPARD.jpg",  "pic/obj/TABCLOTH.jpg",
    "pic/obj/WAVEDBL.jpg",  "pic/obj/holz6.jpg",    "pic/obj/BURLWOOD.jpg", "pic/obj/PARQUET.jpg",
    "pic/obj/WOOD04.jpg",   "pic/obj/S_BLECH2.jpg", "pic/obj/ALU.jpg",      "pic/obj/W-BLECH.jpg",
    "pic/obj/holz10.jpg",   "pic/obj/holz12.jpg",   "pic/obj/Kork1.jpg",    "pic/obj/st2007.jpg",
    "pic/obj/TEALCLOT.jpg", "pic/mauergrass.jpg",   "FIGHTER.png",          "pic/sky/front.jpg",
    "pic/sky/back.jpg",     "pic/sky/left.jpg",     "pic/sky/right.jpg",    "pic/sky/top.jpg",
    "pic/sky/bottom.jpg",
};
const int kFirstSky = 19;

const char* const kSkyNames[6] = {"FRONT", "BACK", "LEFT", "RIGHT", "TOP", "BOTTOM"};

std::string SkyBox(int face) {
  return std::string("box Fehler beim Laden der Textur Sky ") + kSkyNames[face] + " | Fehler";
}

// Distinct power-of-two sizes (1..16 on each side), so that the library's
// default rounding leaves them unchanged for the plain loads too.
UINT WidthOf(int index) { return 1u << (index % 5); }
UINT HeightOf(int index) { return 1u << (index / 5); }

using fake_d3d9::CreateTextureCall;
using fake_d3d9::FakeDevice;
using fake_d3d9::FakeTexture;

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += "\n  " + line;
  return out;
}

class TextureSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Entered()) << "cannot enter a scratch directory";
    platform::SetMessageBoxHook(
        [this](HWND owner, const char* text, const char* caption, UINT type) {
          EXPECT_EQ(nullptr, owner) << "the box has no owner window";
          EXPECT_EQ(UINT(MB_OK), type) << "the box has an OK button only";
          events_.push_back(std::string("box ") + (text ? text : "(null)") + " | " +
                            (caption ? caption : "(null)"));
          return IDOK;
        });
    device_.onCreate = [this](const CreateTextureCall& call) {
      const auto it = names_.find({call.width, call.height});
      events_.push_back("create " + (it != names_.end() ? it->second
                                                        : std::to_string(call.width) + "x" +
                                                              std::to_string(call.height)));
    };
  }
  void TearDown() override {
    platform::ResetHooks();
    for (const std::string& what : device_.misuse())
      ADD_FAILURE() << "the texture set misused the device: " << what;
  }

  // Writes the 25 files, each at its own size, except those in `skip`.
  void WriteFiles(const std::vector<std::string>& skip = {}) {
    for (int i = 0; i < 25; ++i) {
      names_[{WidthOf(i), HeightOf(i)}] = kLoadOrder[i];
      bool skipped = false;
      for (const std::string& s : skip) skipped = skipped || s == kLoadOrder[i];
      if (!skipped) {
        ASSERT_TRUE(test_files::WriteSolidPng(kLoadOrder[i], int(WidthOf(i)), int(HeightOf(i))))
            << kLoadOrder[i];
      }
    }
  }

  // The events of a full load where the files in `missing` fail: a creation
  // for each file that loads, a box for each missing sky face.
  static std::vector<std::string> ExpectedEvents(const std::vector<int>& missing) {
    std::vector<std::string> events;
    for (int i = 0; i < 25; ++i) {
      bool isMissing = false;
      for (int m : missing) isMissing = isMissing || m == i;
      if (!isMissing)
        events.push_back(std::string("create ") + kLoadOrder[i]);
      else if (i >= kFirstSky)
        events.push_back(SkyBox(i - kFirstSky));
    }
    return events;
  }

  // The texture the device created for the file at `index` of kLoadOrder.
  FakeTexture* CreatedFor(int index) {
    for (std::size_t i = 0; i < device_.createCalls.size(); ++i) {
      if (device_.createCalls[i].width == WidthOf(index) &&
          device_.createCalls[i].height == HeightOf(index))
        return device_.textures[i].get();
    }
    return nullptr;
  }

  // The member that should hold the file at `index` of kLoadOrder.
  static IDirect3DTexture9* MemberFor(const TextureSet& set, int index) {
    if (index < OBJECT_TEXTURE_COUNT) return set.objectTextures[index];
    if (index == 17) return set.wallTexture;
    if (index == 18) return set.fighterTexture;
    return set.skyTextures[index - kFirstSky];
  }

  test_files::ScratchWorkDir dir_;
  FakeDevice device_;
  std::vector<std::string> events_;
  std::map<std::pair<UINT, UINT>, std::string> names_;
};

TEST_F(TextureSetTest, ConstructionLeavesEveryPointerNullAndTheMapEmpty) {
  // Built on dirty memory, so a member left uninitialised shows.
  alignas(TextureSet) unsigned char storage[sizeof(TextureSet)];
  std::memset(storage, 0xA5, sizeof(storage));
  TextureSet* set = new (storage) TextureSet();
  EXPECT_EQ(nullptr, set->pDevice);
  for (int i = 0; i < OBJECT_TEXTURE_COUNT; ++i) EXPECT_EQ(nullptr, set->objectTextures[i]) << i;
  for (int i = 0; i < SKY_TEXTURE_COUNT; ++i) EXPECT_EQ(nullptr, set->skyTextures[i]) << i;
  EXPECT_EQ(nullptr, set->wallTexture);
  EXPECT_EQ(nullptr, set->fighterTexture);
  EXPECT_TRUE(set->textureMap.empty());
  set->~TextureSet();
}

TEST_F(TextureSetTest, AllFilesPresentLoadsAll25InOrderWithoutAMessage) {
  WriteFiles();
  TextureSet set;
  set.Load(&device_);

  EXPECT_EQ(&device_, set.pDevice);
  EXPECT_EQ(ExpectedEvents({}), events_) << "events:" << Join(events_);
  for (int i = 0; i < 25; ++i) {
    SCOPED_TRACE(kLoadOrder[i]);
    FakeTexture* created = CreatedFor(i);
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(static_cast<IDirect3DTexture9*>(created), MemberFor(set, i))
        << "the file's texture lands in its own member";
    EXPECT_EQ(1u, created->RefCount()) << "the set holds exactly one reference";
  }
  EXPECT_TRUE(set.textureMap.empty()) << "Load does not use the name-keyed map";

  // The sky faces: exact size, one level, no usage, opaque format, managed.
  for (std::size_t i = kFirstSky; i < device_.createCalls.size(); ++i) {
    const CreateTextureCall& call = device_.createCalls[i];
    SCOPED_TRACE(kLoadOrder[i]);
    EXPECT_EQ(1u, call.levels);
    EXPECT_EQ(0u, call.usage);
    EXPECT_EQ(D3DFMT_X8R8G8B8, call.format);
    EXPECT_EQ(D3DPOOL_MANAGED, call.pool);
  }
}

// Files that are missing or no image: each sky face that fails shows its box,
// in face order, where its load comes; the plain textures fail silently;
// exactly the failed textures stay null and loading goes on.
TEST_F(TextureSetTest, MissingOrBrokenFilesLeaveTheirTexturesNullAndOnlySkyFacesAreReported) {
  struct Case {
    const char* what;
    std::vector<std::string> missing;
    const char* notAnImage;   // written as text, or null
    std::vector<int> failed;  // positions in kLoadOrder
  };
  const Case cases[] = {
      {"missing sky top: one box, after right and before bottom",
       {"pic/sky/top.jpg"},
       nullptr,
       {23}},
      {"missing sky folder: six boxes in face order",
       {"pic/sky/front.jpg", "pic/sky/back.jpg", "pic/sky/left.jpg", "pic/sky/right.jpg",
        "pic/sky/top.jpg", "pic/sky/bottom.jpg"},
       nullptr,
       {19, 20, 21, 22, 23, 24}},
      {"a sky face that is not an image: reported, nothing created", {}, "pic/sky/left.jpg", {21}},
      {"missing plain textures: not reported",
       {"pic/obj/holz2.jpg", "pic/mauergrass.jpg", "FIGHTER.png"},
       nullptr,
       {0, 17, 18}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    events_.clear();
    WriteFiles(c.missing);
    for (const std::string& file : c.missing) std::remove(file.c_str());  // an earlier case's
    if (c.notAnImage != nullptr) {
      std::ofstream garbage(c.notAnImage, std::ios::binary | std::ios::trunc);
      garbage << "this is not an image";
    }
    TextureSet set;
    set.Load(&device_);

    EXPECT_EQ(ExpectedEvents(c.failed), events_) << "events:" << Join(events_);
    for (int i = 0; i < OBJECT_TEXTURE_COUNT + 2 + SKY_TEXTURE_COUNT; ++i) {
      const bool failed = std::find(c.failed.begin(), c.failed.end(), i) != c.failed.end();
      EXPECT_EQ(failed, MemberFor(set, i) == nullptr) << "load position " << i;
    }
  }
}

TEST_F(TextureSetTest, SkyFaceIsCreatedAtTheImagesOwnSizeWhileObjectsUseTheDefaults) {
  WriteFiles();
  // An odd-sized sky face, with an alpha channel the set asks to drop.
  ASSERT_TRUE(test_files::WritePngArgb("pic/sky/front.jpg", 300, 200,
                                       std::vector<std::uint32_t>(300 * 200, 0x80FF0000u), true));
  // An odd-sized object texture: a plain load takes the library's defaults.
  ASSERT_TRUE(test_files::WriteSolidPng("pic/obj/holz2.jpg", 300, 200));
  TextureSet set;
  set.Load(&device_);

  ASSERT_EQ(25u, device_.createCalls.size());
  const CreateTextureCall& sky = device_.createCalls[kFirstSky];
  EXPECT_EQ(300u, sky.width);
  EXPECT_EQ(200u, sky.height);
  EXPECT_EQ(1u, sky.levels);
  EXPECT_EQ(0u, sky.usage);
  EXPECT_EQ(D3DFMT_X8R8G8B8, sky.format);
  EXPECT_EQ(D3DPOOL_MANAGED, sky.pool);

  const CreateTextureCall& object = device_.createCalls[0];
  EXPECT_EQ(512u, object.width) << "a plain load is not an exact-size load";
  EXPECT_EQ(256u, object.height);
  EXPECT_GT(object.levels, 1u) << "a plain load gets the full mip chain";
  EXPECT_EQ(static_cast<IDirect3DTexture9*>(device_.textures[0].get()), set.objectTextures[0]);
}

TEST_F(TextureSetTest, LoadTextureCreatesOnceAtTheFilesOwnSizeAndFormat) {
  WriteFiles();
  TextureSet set;
  set.Load(&device_);
  const std::size_t before = device_.createCalls.size();

  ASSERT_TRUE(test_files::WritePngArgb("pic/extra.png", 300, 200,
                                       std::vector<std::uint32_t>(300 * 200, 0x80123456u), true));
  ASSERT_TRUE(test_files::WriteSolidPng("pic/opaque.jpg", 30, 20));
  set.LoadTexture("pic/extra.png");
  set.LoadTexture("pic/extra.png");
  set.LoadTexture("pic/opaque.jpg");

  ASSERT_EQ(before + 2, device_.createCalls.size())
      << "the second LoadTexture of a name loads nothing";
  const CreateTextureCall& withAlpha = device_.createCalls[before];
  EXPECT_EQ(300u, withAlpha.width);
  EXPECT_EQ(200u, withAlpha.height);
  EXPECT_EQ(1u, withAlpha.levels);
  EXPECT_EQ(0u, withAlpha.usage);
  EXPECT_EQ(D3DFMT_A8R8G8B8, withAlpha.format) << "the file's own format is kept";
  EXPECT_EQ(D3DPOOL_MANAGED, withAlpha.pool);
  EXPECT_EQ(D3DFMT_X8R8G8B8, device_.createCalls[before + 1].format);

  EXPECT_EQ(static_cast<IDirect3DTexture9*>(device_.textures[before].get()),
            set.GetTexture("pic/extra.png"));
  EXPECT_EQ(static_cast<IDirect3DTexture9*>(device_.textures[before + 1].get()),
            set.GetTexture("pic/opaque.jpg"));
  EXPECT_EQ(1u, device_.textures[before]->RefCount());
  EXPECT_EQ(2u, set.textureMap.size());
  for (const std::string& event : events_) EXPECT_NE(0u, event.rfind("box", 0)) << event;
}

TEST_F(TextureSetTest, NamesAreCaseSensitiveKeys) {
  WriteFiles();
  TextureSet set;
  set.Load(&device_);
  ASSERT_TRUE(test_files::WriteSolidPng("pic/obj/alu.jpg", 7, 3));
  const std::size_t before = device_.createCalls.size();

  set.LoadTexture("pic/obj/ALU.jpg");
  set.LoadTexture("pic/obj/alu.jpg");

  ASSERT_EQ(before + 2, device_.createCalls.size());
  EXPECT_EQ(7u, device_.createCalls[before + 1].width) << "alu.jpg is read from its own file";
  IDirect3DTexture9* upper = set.GetTexture("pic/obj/ALU.jpg");
  IDirect3DTexture9* lower = set.GetTexture("pic/obj/alu.jpg");
  EXPECT_NE(nullptr, upper);
  EXPECT_NE(nullptr, lower);
  EXPECT_NE(upper, lower);
  EXPECT_NE(set.objectTextures[10], upper) << "the map loads its own texture";
  EXPECT_EQ(nullptr, set.GetTexture("PIC/OBJ/ALU.JPG"));
  EXPECT_EQ(2u, set.textureMap.size());
}

TEST_F(TextureSetTest, FailedLoadTextureStoresNullAndIsNotRetried) {
  WriteFiles();
  TextureSet set;
  set.Load(&device_);
  const std::size_t before = device_.createCalls.size();
  events_.clear();

  set.LoadTexture("pic/none.jpg");
  ASSERT_EQ(1u, set.textureMap.count("pic/none.jpg")) << "the failed name is stored";
  EXPECT_EQ(nullptr, set.textureMap["pic/none.jpg"]);
  EXPECT_EQ(nullptr, set.GetTexture("pic/none.jpg"));

  // The name is known now, so a later call does not look at the file again.
  ASSERT_TRUE(test_files::WriteSolidPng("pic/none.jpg", 4, 4));
  set.LoadTexture("pic/none.jpg");
  EXPECT_EQ(nullptr, set.GetTexture("pic/none.jpg"));
  EXPECT_EQ(before, device_.createCalls.size());
  EXPECT_TRUE(events_.empty()) << "LoadTexture shows nothing:" << Join(events_);
}

TEST_F(TextureSetTest, GetTextureOnlyLooksUpTheMap) {
  WriteFiles();
  TextureSet set;
  set.Load(&device_);
  const std::size_t before = device_.createCalls.size();

  EXPECT_EQ(nullptr, set.GetTexture("pic/unknown.jpg"));
  EXPECT_EQ(nullptr, set.GetTexture("pic/obj/holz2.jpg")) << "the fixed members are not in the map";
  EXPECT_EQ(nullptr, set.GetTexture(""));
  EXPECT_EQ(before, device_.createCalls.size()) << "GetTexture never loads";
  EXPECT_TRUE(set.textureMap.empty()) << "GetTexture inserts nothing";
}

TEST_F(TextureSetTest, DestructionReleasesNoTexture) {
  WriteFiles();
  ASSERT_TRUE(test_files::WriteSolidPng("pic/extra.png", 4, 4));
  {
    TextureSet set;
    set.Load(&device_);
    set.LoadTexture("pic/extra.png");
  }
  ASSERT_EQ(26u, device_.textures.size());
  for (std::size_t i = 0; i < device_.textures.size(); ++i)
    EXPECT_EQ(1u, device_.textures[i]->RefCount()) << "texture " << i << " stays referenced";
}

}  // namespace

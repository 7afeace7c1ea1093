// endless-field-assets: writes the program's textures (sky box, grass, wall,
// object materials) and the fighter sprite into the given directory, and the
// program's icon into its icon/ folder (a 256-pixel PNG for desktops and a
// 16/32/48-pixel .ico, resource 107 of the executable).
// Everything is procedural with fixed seeds, so repeated runs produce
// byte-identical files.
#include "patterns.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Asset {
  std::string path;  // relative to the output directory
  std::function<assets::Canvas()> make;
};

// Cube faces get a raised-panel rim so the viewer can tell which way is up.
assets::Canvas Panel(assets::Canvas c) {
  assets::Bevel(c, 6, 0.16f);
  return c;
}

std::vector<Asset> AllAssets() {
  using namespace assets;
  constexpr int kSize = 256;
  const WoodStyle lightWood{Hex(0xe9cb9c), Hex(0xb98650), 9, 0.06f, false, 21};
  const WoodStyle darkWood{Hex(0x6e4226), Hex(0x2a1408), 12, 0.05f, false, 22};
  const WoodStyle oak{Hex(0xc8955c), Hex(0x87552c), 9, 0.04f, true, 23};
  const WoodStyle pine{Hex(0xecce90), Hex(0xb06a30), 6, 0.04f, true, 24};
  const WoodStyle cherry{Hex(0xb5653a), Hex(0x6e2e17), 16, 0.04f, false, 25};
  std::vector<Asset> list = {
      {"pic/GRASS1.jpg", [] { return Grass(kSize); }},
      {"pic/obj/holz2.jpg", [=] { return Panel(Wood(kSize, lightWood)); }},
      {"pic/obj/GINGHAM.jpg", [] { return Panel(Gingham(kSize)); }},
      {"pic/obj/LEOPARD.jpg", [] { return Panel(Leopard(kSize)); }},
      {"pic/obj/TABCLOTH.jpg", [] { return Panel(TableCloth(kSize)); }},
      {"pic/obj/WAVEDBL.jpg", [] { return Panel(WavedDouble(kSize)); }},
      {"pic/obj/holz6.jpg", [=] { return Panel(Wood(kSize, darkWood)); }},
      {"pic/obj/BURLWOOD.jpg", [] { return BurlWood(kSize); }},
      {"pic/obj/PARQUET.jpg", [] { return Parquet(kSize); }},
      {"pic/obj/WOOD04.jpg", [=] { return Wood(kSize, oak); }},
      {"pic/obj/S_BLECH2.jpg", [] { return CheckerPlate(kSize); }},
      {"pic/obj/ALU.jpg", [] { return BrushedAluminium(kSize); }},
      {"pic/obj/W-BLECH.jpg", [] { return CorrugatedSheet(kSize); }},
      {"pic/obj/holz10.jpg", [=] { return Wood(kSize, pine); }},
      {"pic/obj/holz12.jpg", [=] { return Wood(kSize, cherry); }},
      {"pic/obj/Kork1.jpg", [] { return Cork(kSize); }},
      {"pic/obj/st2007.jpg", [] { return StoneTiles(kSize); }},
      {"pic/obj/TEALCLOT.jpg", [] { return TealCloth(kSize); }},
      {"pic/mauergrass.jpg", [] { return WallWithGrass(kSize); }},
      {"FIGHTER.png", [] { return Fighter(128); }},
  };
  for (const char* face : {"front", "back", "left", "right", "top", "bottom"})
    list.push_back(
        {std::string("pic/sky/") + face + ".jpg", [face] { return SkyFace(kSize, face); }});
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output-directory>\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path out = argv[1];
  std::error_code ec;
  for (const char* dir : {"pic/obj", "pic/sky", "icon"}) {
    fs::create_directories(out / dir, ec);
    if (ec) {
      std::fprintf(stderr, "cannot create %s: %s\n", (out / dir).string().c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  for (const Asset& a : AllAssets()) {
    std::string path = (out / a.path).string();
    assets::Canvas c = a.make();
    bool png = fs::path(a.path).extension() == ".png";
    bool ok = png ? assets::WritePng(path, c) : assets::WriteJpeg(path, c, 90);
    if (!ok) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  const std::string ico = (out / "icon/endless-field.ico").string();
  if (!assets::WriteIco(ico, {assets::Icon(16), assets::Icon(32), assets::Icon(48)})) {
    std::fprintf(stderr, "cannot write %s\n", ico.c_str());
    return 1;
  }
  const std::string png = (out / "icon/endless-field.png").string();
  if (!assets::WritePng(png, assets::Icon(256))) {
    std::fprintf(stderr, "cannot write %s\n", png.c_str());
    return 1;
  }
  return 0;
}

// Checks what the endless-field-assets generator writes. The images it made
// for the build (the ef_assets target, once per build) are the ones read:
// every file is there, a fresh run into a scratch folder gives the same
// bytes, JPEGs are 8-bit baseline at
// the expected size, the fighter sprite is RGBA with a transparent background,
// the grass tiles without a seam, neighbouring sky faces meet cleanly, and the
// icon comes as a 256-pixel PNG and a 16/32/48-pixel .ico of the same picture.
#include <gtest/gtest.h>
#include <png.h>
#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#if !defined(EF_ASSETS_TOOL) || !defined(EF_BUILD_ASSETS) || !defined(EF_SCRATCH_DIR)
#error "EF_ASSETS_TOOL, EF_BUILD_ASSETS and EF_SCRATCH_DIR must be defined"
#endif

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kJpegFiles = {
    "pic/GRASS1.jpg",       "pic/mauergrass.jpg",   "pic/obj/holz2.jpg",    "pic/obj/GINGHAM.jpg",
    "pic/obj/LEOPARD.jpg",  "pic/obj/TABCLOTH.jpg", "pic/obj/WAVEDBL.jpg",  "pic/obj/holz6.jpg",
    "pic/obj/BURLWOOD.jpg", "pic/obj/PARQUET.jpg",  "pic/obj/WOOD04.jpg",   "pic/obj/S_BLECH2.jpg",
    "pic/obj/ALU.jpg",      "pic/obj/W-BLECH.jpg",  "pic/obj/holz10.jpg",   "pic/obj/holz12.jpg",
    "pic/obj/Kork1.jpg",    "pic/obj/st2007.jpg",   "pic/obj/TEALCLOT.jpg", "pic/sky/front.jpg",
    "pic/sky/back.jpg",     "pic/sky/left.jpg",     "pic/sky/right.jpg",    "pic/sky/top.jpg",
    "pic/sky/bottom.jpg",
};
const char* const kSprite = "FIGHTER.png";
const char* const kIconPng = "icon/endless-field.png";
const char* const kIco = "icon/endless-field.ico";

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Pixels {
  int width = 0, height = 0, channels = 0;
  std::vector<uint8_t> data;
  int At(int x, int y, int c) const {
    return data[(static_cast<size_t>(y) * width + x) * channels + c];
  }
};

bool DecodeJpeg(const std::vector<uint8_t>& bytes, Pixels& out) {
  tjhandle tj = tjInitDecompress();
  if (!tj) return false;
  int subsamp = 0, colorspace = 0;
  bool ok = tjDecompressHeader3(tj, bytes.data(), bytes.size(), &out.width, &out.height, &subsamp,
                                &colorspace) == 0;
  if (ok) {
    out.channels = 3;
    out.data.resize(static_cast<size_t>(out.width) * out.height * 3);
    ok = tjDecompress2(tj, bytes.data(), bytes.size(), out.data.data(), out.width, 0, out.height,
                       TJPF_RGB, TJFLAG_ACCURATEDCT) == 0;
  }
  tjDestroy(tj);
  return ok;
}

bool DecodePng(const fs::path& path, Pixels& out) {
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, path.string().c_str())) return false;
  img.format = PNG_FORMAT_RGBA;
  out.width = static_cast<int>(img.width);
  out.height = static_cast<int>(img.height);
  out.channels = 4;
  out.data.resize(PNG_IMAGE_SIZE(img));
  bool ok = png_image_finish_read(&img, nullptr, out.data.data(), 0, nullptr) != 0;
  png_image_free(&img);
  return ok;
}

// Walks the JPEG segments up to the first start-of-frame marker. Returns the
// marker (0xC0 = baseline) and the sample precision, or 0 if none is found.
int FrameMarker(const std::vector<uint8_t>& b, int& precision) {
  size_t i = 2;
  while (i + 4 < b.size() && b[i] == 0xFF) {
    int marker = b[i + 1];
    size_t length = (static_cast<size_t>(b[i + 2]) << 8) | b[i + 3];
    bool isFrame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (isFrame) {
      precision = i + 4 < b.size() ? b[i + 4] : 0;
      return marker;
    }
    i += 2 + length;
  }
  return 0;
}

// Mean absolute difference between column (or row) a of p and column (or row) b of q.
double LineDifference(const Pixels& p, int a, const Pixels& q, int b, bool columns) {
  double sum = 0;
  int n = columns ? p.height : p.width;
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < 3; ++c)
      sum += std::abs(columns ? p.At(a, i, c) - q.At(b, i, c) : p.At(i, a, c) - q.At(i, b, c));
  return sum / (3.0 * n);
}

// Average difference between neighbouring columns (or rows) inside the image.
double InteriorDifference(const Pixels& p, bool columns) {
  int n = columns ? p.width : p.height;
  double sum = 0;
  for (int i = 0; i + 1 < n; ++i) sum += LineDifference(p, i, p, i + 1, columns);
  return sum / (n - 1);
}

class AssetGenerator : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_first = EF_BUILD_ASSETS;
    s_second = fs::path(EF_SCRATCH_DIR) / ("repeat_" + std::to_string(getpid()));
    // The build's images exist when the build finished (ef_assets).
    s_firstStatus = fs::is_regular_file(s_first / kSprite) ? 0 : 1;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(s_second, ec);
  }
  static int Run(const fs::path& dir) {
    std::string cmd = std::string("\"") + EF_ASSETS_TOOL + "\" \"" + dir.string() + "\"";
    return std::system(cmd.c_str());
  }
  static Pixels Jpeg(const std::string& rel) {
    Pixels p;
    EXPECT_TRUE(DecodeJpeg(ReadBytes(s_first / rel), p)) << rel << " does not decode";
    return p;
  }

  static inline fs::path s_first, s_second;
  static inline int s_firstStatus = -1;
};

TEST_F(AssetGenerator, WritesEveryFileAndRepeatsByteForByte) {
  ASSERT_EQ(s_firstStatus, 0) << "the build's images are missing from " << s_first;
  ASSERT_EQ(Run(s_second), 0) << "generator failed writing into " << s_second;
  std::vector<std::string> all = kJpegFiles;
  all.insert(all.end(), {kSprite, kIconPng, kIco});
  for (const std::string& rel : all) {
    ASSERT_TRUE(fs::is_regular_file(s_first / rel)) << rel << " missing";
    std::vector<uint8_t> a = ReadBytes(s_first / rel), b = ReadBytes(s_second / rel);
    EXPECT_GT(a.size(), 500u) << rel << " is suspiciously small";
    EXPECT_TRUE(a == b) << rel << " differs between runs (" << a.size() << " vs " << b.size()
                        << " bytes)";
  }
}

TEST_F(AssetGenerator, RejectsMissingOutputDirectoryArgument) {
  std::string cmd = std::string("\"") + EF_ASSETS_TOOL + "\" >/dev/null 2>&1";
  EXPECT_NE(std::system(cmd.c_str()), 0);
}

TEST_F(AssetGenerator, JpegsAreBaseline8Bit256Square) {
  ASSERT_EQ(s_firstStatus, 0);
  for (const std::string& rel : kJpegFiles) {
    std::vector<uint8_t> bytes = ReadBytes(s_first / rel);
    ASSERT_GE(bytes.size(), 4u) << rel;
    EXPECT_EQ(bytes[0], 0xFF) << rel;
    EXPECT_EQ(bytes[1], 0xD8) << rel << " has no JPEG start marker";
    int precision = 0;
    EXPECT_EQ(FrameMarker(bytes, precision), 0xC0) << rel << " is not a baseline JPEG";
    EXPECT_EQ(precision, 8) << rel;
    Pixels p = Jpeg(rel);
    EXPECT_EQ(p.width, 256) << rel;
    EXPECT_EQ(p.height, 256) << rel;
  }
}

TEST_F(AssetGenerator, FighterIsRgbaWithTransparentBackground) {
  ASSERT_EQ(s_firstStatus, 0);
  std::vector<uint8_t> bytes = ReadBytes(s_first / kSprite);
  ASSERT_GE(bytes.size(), 33u);
  // IHDR starts at byte 16: width, height, bit depth, colour type.
  EXPECT_EQ(bytes[24], 8) << "bit depth";
  EXPECT_EQ(bytes[25], 6) << "colour type (6 = truecolour with alpha)";
  Pixels p;
  ASSERT_TRUE(DecodePng(s_first / kSprite, p));
  EXPECT_EQ(p.width, p.height);
  EXPECT_TRUE(p.width == 128 || p.width == 256) << "width " << p.width;
  int clear = 0, solid = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      clear += p.At(x, y, 3) == 0;
      solid += p.At(x, y, 3) == 255;
    }
  }
  EXPECT_GT(clear, p.width * p.height / 4) << "transparent pixels";
  EXPECT_GT(solid, p.width * p.height / 20) << "opaque pixels";
  for (int corner = 0; corner < 4; ++corner) {
    int x = corner & 1 ? p.width - 1 : 0, y = corner & 2 ? p.height - 1 : 0;
    EXPECT_EQ(p.At(x, y, 3), 0) << "corner (" << x << ", " << y << ") should be transparent";
  }
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
  return v;
}

TEST_F(AssetGenerator, IconIsOnePictureAsPngAndMultiSizeIco) {
  ASSERT_EQ(s_firstStatus, 0);
  Pixels png;
  ASSERT_TRUE(DecodePng(s_first / kIconPng, png));
  ASSERT_EQ(png.width, 256);
  ASSERT_EQ(png.height, 256);
  EXPECT_EQ(png.At(0, 0, 3), 0) << "rounded corners are transparent";
  EXPECT_EQ(png.At(128, 128, 3), 255) << "the middle is opaque";

  std::vector<uint8_t> ico = ReadBytes(s_first / kIco);
  ASSERT_GE(ico.size(), 6u + 3 * 16);
  EXPECT_EQ(Le(ico, 0, 4), 0x00010000u) << "reserved 0, type 1 (icon)";
  ASSERT_EQ(Le(ico, 4, 2), 3u);
  const int sizes[] = {16, 32, 48};
  for (int i = 0; i < 3; ++i) {
    const size_t entry = 6 + 16 * i;
    const int n = sizes[i];
    EXPECT_EQ(ico[entry], n);
    EXPECT_EQ(Le(ico, entry + 6, 2), 32u) << n << ": bits per pixel";
    const size_t offset = Le(ico, entry + 12, 4), length = Le(ico, entry + 8, 4);
    ASSERT_EQ(length, 40u + n * n * 4 + (n + 31) / 32 * 4 * n) << n << ": colour and mask";
    ASSERT_LE(offset + length, ico.size());
    EXPECT_EQ(Le(ico, offset + 8, 4), 2u * n) << n << ": height counts colour and mask";
    // The same picture at every size: the pixel at the middle of the cube's
    // left face (rows bottom-up in the .ico) matches the PNG within rounding.
    const int x = n * 22 / 100, y = n * 68 / 100;
    const size_t px = offset + 40 + (static_cast<size_t>(n - 1 - y) * n + x) * 4;
    const int px256 = 256 * 22 / 100, py256 = 256 * 68 / 100;
    EXPECT_NEAR(ico[px + 2], png.At(px256, py256, 0), 12) << n << ": red";
    EXPECT_NEAR(ico[px + 1], png.At(px256, py256, 1), 12) << n << ": green";
    EXPECT_NEAR(ico[px], png.At(px256, py256, 2), 12) << n << ": blue";
  }
}

TEST_F(AssetGenerator, GrassTilesWithoutSeam) {
  ASSERT_EQ(s_firstStatus, 0);
  Pixels g = Jpeg("pic/GRASS1.jpg");
  ASSERT_EQ(g.width, 256);
  double inCols = InteriorDifference(g, true), inRows = InteriorDifference(g, false);
  double seamCols = LineDifference(g, g.width - 1, g, 0, true);
  double seamRows = LineDifference(g, g.height - 1, g, 0, false);
  EXPECT_LT(seamCols, 1.5 * inCols + 2.0) << "right/left edge difference vs interior " << inCols;
  EXPECT_LT(seamRows, 1.5 * inRows + 2.0) << "bottom/top edge difference vs interior " << inRows;
}

TEST_F(AssetGenerator, SkyFacesMeetAtTheirEdges) {
  ASSERT_EQ(s_firstStatus, 0);
  Pixels front = Jpeg("pic/sky/front.jpg"), right = Jpeg("pic/sky/right.jpg");
  Pixels back = Jpeg("pic/sky/back.jpg"), left = Jpeg("pic/sky/left.jpg");
  Pixels top = Jpeg("pic/sky/top.jpg"), bottom = Jpeg("pic/sky/bottom.jpg");
  const int last = 255;
  struct Seam {
    const char* name;
    const Pixels& a;
    int lineA;
    const Pixels& b;
    int lineB;
    bool columns;
  };
  const Seam seams[] = {
      {"front|right", front, last, right, 0, true}, {"right|back", right, last, back, 0, true},
      {"back|left", back, last, left, 0, true},     {"left|front", left, last, front, 0, true},
      {"top/front", top, last, front, 0, false},    {"front/bottom", front, last, bottom, 0, false},
  };
  for (const Seam& s : seams) {
    double interior = InteriorDifference(s.a, s.columns);
    double seam = LineDifference(s.a, s.lineA, s.b, s.lineB, s.columns);
    EXPECT_LT(seam, 2.0 * interior + 2.0)
        << s.name << " seam differs by " << seam << ", interior " << interior;
  }
  // A horizon on the side faces: blue sky above, darker haze below.
  EXPECT_GT(front.At(128, 10, 2), front.At(128, 10, 0) + 20)
      << "top of the front face should be blue";
  EXPECT_LT(front.At(128, 250, 2), front.At(128, 10, 2)) << "below the horizon should be darker";
}

}  // namespace

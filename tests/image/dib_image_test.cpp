// CDibImage: creation with its header and colour table, the heap block when
// GDI cannot make the bitmap, format copies, release, palettes, blits read
// back through GDI, and the clipping of Apply.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/DibImage.h"
#include "support/Frames.h"

namespace {

using tevrin::image::PixelRoutine;
using tevrin::image::PixelTransfer;
using tevrin::image::RoutineShape;

bool AllZero(const CDibImage& image) {
  for (size_t i = 0; i < image.ByteSize(); ++i) {
    if (image.Bits()[i] != 0) return false;
  }
  return true;
}

TEST(DibImage, CreateFillsTheHeaderAndStride) {
  struct Case {
    int width, height, bits, stride;
  };
  for (const Case& c : {Case{5, 3, 8, 8}, Case{640, 512, 8, 640}, Case{3, 2, 16, 8}, Case{5, 2, 24, 16},
                        Case{3, 3, 32, 12}, Case{3, 2, 48, 20}, Case{1, 1, 64, 8}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
    CDibImage image;
    ASSERT_EQ(image.Create(c.width, c.height, static_cast<uint16_t>(c.bits)), 1);
    const BITMAPINFOHEADER& h = image.Header().header;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, c.bits);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(image.Stride(), c.stride);
    ASSERT_NE(image.Bits(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(image.Bits()) % 64, 0u);
    EXPECT_TRUE(AllZero(image));
    const RGBQUAD entry = image.Header().colors[200];
    EXPECT_EQ(entry.rgbBlue + entry.rgbGreen + entry.rgbRed, c.bits == 8 ? 600 : 0);
  }
}

TEST(DibImage, CreateRefusesEmptyAndUnknownFormats) {
  CDibImage image;
  ASSERT_TRUE(image.Create(4, 4, 8));
  EXPECT_EQ(image.Create(0, 4, 8), 0);
  EXPECT_EQ(image.Bits(), nullptr) << "the old image was released";
  EXPECT_EQ(image.Create(4, -1, 8), 0);
  EXPECT_EQ(image.Create(4, 4, 0), 0);
  EXPECT_EQ(image.Create(4, 4, 12), 0);
  EXPECT_EQ(image.Create(1 << 30, 4, 32), 0);
  EXPECT_EQ(image.Create(1 << 28, 1, 64), 0) << "a 2 GiB row";
  EXPECT_EQ(image.Create(1 << 26, 1 << 10, 64), 0);
}

// GDI makes DIB sections of 8 to 32 bits; 48 and 64 bits live on the heap.
TEST(DibImage, FormatsWithoutDibSectionGetAHeapBlock) {
  CDibImage gdi, heap;
  ASSERT_TRUE(gdi.Create(7, 5, 24));
  EXPECT_NE(gdi.Bitmap(), nullptr);
  EXPECT_NE(gdi.Dc(), nullptr);
  for (uint16_t bits : {48, 64}) {
    ASSERT_EQ(heap.Create(7, 5, bits), 1);
    EXPECT_EQ(heap.Bitmap(), nullptr);
    EXPECT_EQ(heap.Dc(), nullptr);
    ASSERT_NE(heap.Bits(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(heap.Bits()) % 64, 0u);
    EXPECT_TRUE(AllZero(heap));
    heap.Bits()[heap.ByteSize() - 1] = 1;  // the whole block is ours
    EXPECT_EQ(heap.Blit(gdi.Dc(), 0, 0), 0);
  }
}

TEST(DibImage, CopyFormatTakesHeaderNotPixels) {
  CDibImage original, copy;
  ASSERT_TRUE(original.Create(6, 4, 8));
  const RGBQUAD red{0, 0, 255, 0};
  ASSERT_TRUE(original.SetPalette(2, &red, 9, 1));
  original.Bits()[0] = 42;
  ASSERT_TRUE(copy.Create(2, 2, 32));
  ASSERT_EQ(copy.CopyFormat(original), 1);
  EXPECT_EQ(copy.Width(), 6);
  EXPECT_EQ(copy.Height(), 4);
  EXPECT_EQ(copy.Stride(), 8);
  EXPECT_EQ(copy.BitCount(), 8);
  EXPECT_EQ(copy.Header().colors[9].rgbRed, 255);
  EXPECT_EQ(copy.Bits()[0], 0);
  EXPECT_NE(copy.Bits(), original.Bits());
  RGBQUAD table[256];
  ASSERT_EQ(GetDIBColorTable(copy.Dc(), 0, 256, table), 256u);
  EXPECT_EQ(table[9].rgbRed, 255);
  EXPECT_EQ(table[9].rgbGreen, 0);

  CDibImage wide, wideCopy;
  ASSERT_TRUE(wide.Create(3, 3, 64));
  ASSERT_EQ(wideCopy.CopyFormat(wide), 1);
  EXPECT_EQ(wideCopy.Stride(), 24);
  CDibImage empty;
  EXPECT_EQ(wideCopy.CopyFormat(empty), 0);
}

TEST(DibImage, ReleaseLeavesAnEmptyHeader) {
  CDibImage image;
  ASSERT_TRUE(image.Create(8, 8, 8));
  image.Release();
  EXPECT_EQ(image.Bits(), nullptr);
  EXPECT_EQ(image.Dc(), nullptr);
  EXPECT_EQ(image.Bitmap(), nullptr);
  EXPECT_EQ(image.Width(), 0);
  EXPECT_EQ(image.Stride(), 0);
  EXPECT_EQ(image.Header().header.biSize, 40u);
  EXPECT_EQ(image.Header().header.biWidth, 0);
  EXPECT_EQ(image.Header().header.biBitCount, 0);
  EXPECT_EQ(image.Header().colors[255].rgbRed, 0);
  image.Release();  // twice is harmless
}

TEST(DibImage, SetPaletteWritesTheDcColourTable) {
  CDibImage image;
  ASSERT_TRUE(image.Create(4, 4, 8));
  const RGBQUAD entries[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  ASSERT_EQ(image.SetPalette(2, entries, 254, 2), 1);
  RGBQUAD table[256];
  ASSERT_EQ(GetDIBColorTable(image.Dc(), 0, 256, table), 256u);
  EXPECT_EQ(table[254].rgbRed, 3);
  EXPECT_EQ(table[255].rgbBlue, 4);
  EXPECT_EQ(table[253].rgbRed, 253);
  EXPECT_EQ(image.SetPalette(2, entries, 255, 2), 0) << "past the table";
  EXPECT_EQ(image.SetPalette(1), 0);
  ASSERT_EQ(image.SetPalette(0), 1);
  ASSERT_EQ(GetDIBColorTable(image.Dc(), 0, 256, table), 256u);
  EXPECT_EQ(table[254].rgbRed, 254);
  EXPECT_EQ(table[255].rgbBlue, 255);
}

// GDI reads the positive-height bitmaps bottom-up: picture row p is memory
// row height - 1 - p in both images.
TEST(DibImage, BlitCopiesARectangleThroughGdi) {
  CDibImage source, target;
  ASSERT_TRUE(source.Create(4, 3, 24));
  ASSERT_TRUE(target.Create(6, 5, 32));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      for (int c = 0; c < 3; ++c) tevrin::test::SetSample(source, x, y, 16 * y + 4 * x + c, c);
    }
  }
  const RECT rect{1, 0, 3, 2};
  ASSERT_EQ(source.Blit(target.Dc(), 1, 1, &rect), 1);
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const tevrin::test::Bgr expected = tevrin::test::ColourAt(source, 1 + i, 2 - j);
      EXPECT_EQ(tevrin::test::ColourAt(target, 1 + i, 3 - j), expected) << i << "," << j;
    }
  }
  EXPECT_EQ(tevrin::test::ColourAt(target, 0, 3), (tevrin::test::Bgr{0, 0, 0}));
  EXPECT_EQ(tevrin::test::ColourAt(target, 3, 3), (tevrin::test::Bgr{0, 0, 0}));

  ASSERT_EQ(source.Blit(target.Dc(), 0, 0), 1);  // the whole image
  EXPECT_EQ(tevrin::test::ColourAt(target, 3, 2), tevrin::test::ColourAt(source, 3, 0));
}

struct Seen {
  int calls = 0;
  PixelTransfer transfer;
};

int Record(const PixelTransfer& transfer) {
  auto* seen = static_cast<Seen*>(transfer.context);
  ++seen->calls;
  seen->transfer = transfer;
  return 7;
}

TEST(DibImage, ApplyClipsTheRectangleToBothImages) {
  CDibImage source, destination;
  ASSERT_TRUE(source.Create(4, 4, 16));
  ASSERT_TRUE(destination.Create(3, 2, 8));
  struct Case {
    const char* label;
    bool whole;
    RECT rect;
    RoutineShape shape;
    int calls;
    RECT clipped;
    int destinationWidth, destinationHeight;
  };
  const Case cases[] = {
      {"whole source", true, {}, RoutineShape::kOneToOne, 1, {0, 0, 3, 2}, 3, 2},
      {"negative corner", false, {-1, -2, 2, 5}, RoutineShape::kOneToOne, 1, {0, 0, 2, 2}, 2, 2},
      {"inside", false, {1, 1, 3, 2}, RoutineShape::kOneToOne, 1, {1, 1, 3, 2}, 2, 1},
      {"right of the destination", false, {3, 0, 6, 4}, RoutineShape::kOneToOne, 0, {}, 0, 0},
      {"below the source", false, {0, 4, 2, 8}, RoutineShape::kOneToOne, 0, {}, 0, 0},
      {"inverted", false, {2, 2, 1, 1}, RoutineShape::kOneToOne, 0, {}, 0, 0},
      {"scaling keeps the source", true, {}, RoutineShape::kScaleToDestination, 1, {0, 0, 4, 4}, 3, 2},
      {"scaling clipped to source", false, {2, -1, 9, 3}, RoutineShape::kScaleToDestination, 1, {2, 0, 4, 3}, 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Seen seen;
    const PixelRoutine routine{Record, c.shape};
    const int result = destination.Apply(routine, source, c.whole ? nullptr : &c.rect, &seen);
    ASSERT_EQ(seen.calls, c.calls);
    EXPECT_EQ(result, c.calls ? 7 : 0);
    if (!c.calls) continue;
    const PixelTransfer& t = seen.transfer;
    EXPECT_EQ(t.left, c.clipped.left);
    EXPECT_EQ(t.top, c.clipped.top);
    EXPECT_EQ(t.right, c.clipped.right);
    EXPECT_EQ(t.bottom, c.clipped.bottom);
    const bool scales = c.shape == RoutineShape::kScaleToDestination;
    EXPECT_EQ(t.destinationX, scales ? 0 : c.clipped.left);
    EXPECT_EQ(t.destinationY, scales ? 0 : c.clipped.top);
    EXPECT_EQ(t.destinationWidth, c.destinationWidth);
    EXPECT_EQ(t.destinationHeight, c.destinationHeight);
    EXPECT_EQ(t.destination, destination.Bits());
    EXPECT_EQ(t.source, source.Bits());
    EXPECT_EQ(t.destinationBytes, 1);
    EXPECT_EQ(t.sourceBytes, 2);
    EXPECT_EQ(t.destinationStride, 4);
    EXPECT_EQ(t.sourceStride, 8);
  }
  CDibImage empty;
  Seen seen;
  EXPECT_EQ(destination.Apply(PixelRoutine{Record}, empty, nullptr, &seen), 0);
  EXPECT_EQ(seen.calls, 0);
}

}  // namespace

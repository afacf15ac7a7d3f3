#include "surface/clipboard_dib.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/message_capture.h"
#include "surface/cdadc.h"

TEST(PictureToPackedDib, HoldsTheRowsOfA24BitPictureBottomUpAndReportsNoPicture) {
    CDADC picture(3, 2);
    picture.Row(0)[0] = 0x11;  // top row, first pixel, blue
    picture.Row(1)[8] = 0x99;  // bottom row, last pixel, red
    HGLOBAL dib = PictureToPackedDib(&picture);
    ASSERT_NE(dib, nullptr);
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    EXPECT_EQ(header.biWidth, 3);
    EXPECT_EQ(header.biHeight, 2);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(GlobalSize(dib), sizeof header + 2 * 12);  // no colour table, 12-byte rows
    const BYTE* rows = bytes + sizeof header;
    EXPECT_EQ(rows[8], 0x99);       // the first stored row is the bottom one
    EXPECT_EQ(rows[12 + 0], 0x11);  // then the top row
    GlobalUnlock(dib);
    GlobalFree(dib);

    MessageCapture capture;
    EXPECT_EQ(PictureToPackedDib(nullptr), nullptr);
    ASSERT_EQ(capture.Texts().size(), 1u);
    EXPECT_EQ(capture.Texts()[0].rfind("Vic32, OnEditCopy,\nallocimage() error: ", 0), 0u);
}

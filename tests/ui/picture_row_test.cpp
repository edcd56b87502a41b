// One picture row: its six text lines, and where and in which colours it is drawn.
#include <gtest/gtest.h>
#include <QFontMetricsF>
#include <QPainter>

#include <memory>

#include "tests/app/picture_list_rows.h"
#include "tests/support/FlashValues.h"
#include "tests/support/OrientationCodes.h"
#include "tests/ui/picture_row_support.h"
#include "ui/pic_ItemRow.h"

namespace {

using rowpixels::RedExtent;

TEST(PictureRowText, LinesOfAPlainRecord) {
  pic_Item row;
  const std::array<QString, 6> lines = RowText(row);
  EXPECT_EQ(lines[0], QString());
  EXPECT_EQ(lines[1], QStringLiteral("0*0 pixels 0 bytes."));
  EXPECT_EQ(lines[2], QStringLiteral("(No flash) "));
  EXPECT_EQ(lines[3], QStringLiteral("Thu Jan  1 00:00:00 1970"));
  EXPECT_EQ(lines[4], QStringLiteral("Downloaded"));
  EXPECT_EQ(lines[5], QString());
}

TEST(PictureRowText, PortraitCodesPutTheHeightFirst) {
  std::unique_ptr<pic_Item> row(rows::Make(0));
  row->set_Size(123456);
  row->set_Orientation(6);
  EXPECT_EQ(RowText(*row)[1], QStringLiteral("1200*1600 pixels 123456 bytes."));
  EXPECT_EQ(RowText(*row)[2], QStringLiteral("(No flash) (Portrait)"));
  row->set_Orientation(8);
  EXPECT_EQ(RowText(*row)[1], QStringLiteral("1200*1600 pixels 123456 bytes."));
  row->set_Orientation(1);
  EXPECT_EQ(RowText(*row)[1], QStringLiteral("1600*1200 pixels 123456 bytes."));
  EXPECT_EQ(RowText(*row)[2], QStringLiteral("(No flash) (Landscape)"));
}

// The label and the order of the sizes follow the turn each code asks for.
TEST(PictureRowText, EachOrientationCodeLabelsAsItTurns) {
  std::unique_ptr<pic_Item> row(rows::Make(0));
  for (const testsupport::OrientationCase& c : testsupport::kOrientationCases) {
    row->set_Orientation(c.code);
    EXPECT_EQ(RowText(*row)[2], QStringLiteral("(No flash) ") + c.label) << c.code;
    EXPECT_TRUE(RowText(*row)[1].startsWith(c.quarter_turns % 2 ? "1200*1600" : "1600*1200"));
  }
}

TEST(PictureRowText, FlashAndOrientationLabels) {
  pic_Item row;
  row.set_Orientation(0);
  for (const testsupport::FlashValue& flash : testsupport::kFlashValues) {
    row.set_Flash(flash.value);
    EXPECT_EQ(RowText(row)[2],
              flash.fired ? QStringLiteral("(Flash) ") : QStringLiteral("(No flash) "))
        << flash.value;
  }
  row.set_Flash(0);
  row.set_Orientation(7);
  EXPECT_EQ(RowText(row)[2], QStringLiteral("(No flash) (Landscape)"));
  row.set_Orientation(12);
  EXPECT_EQ(RowText(row)[2], QStringLiteral("(No flash) "));
  row.set_Orientation(5);
  EXPECT_EQ(RowText(row)[2], QStringLiteral("(No flash) "));
}

// Other kinds say what they are where the orientation stands, whatever code their thumbnail
// file gave; a sound note is added to the picture or raw picture it belongs to.
TEST(PictureRowText, KindsAndSoundNotes) {
  const struct {
    FileKind kind;
    uint32_t orientation;
    bool sound_note;
    const char* line;
  } cases[] = {
      {FileKind::kPicture, 6, true, "(No flash) (Portrait) (Sound note)"},
      {FileKind::kPicture, 0, true, "(No flash) (Sound note)"},
      {FileKind::kRaw, 6, true, "(No flash) (Raw) (Sound note)"},
      {FileKind::kMovie, 6, false, "(No flash) (Movie)"},
      {FileKind::kSound, 0, false, "(No flash) (Sound)"},
      {FileKind::kThumbnail, 6, false, "(No flash) (File)"},
      {FileKind::kOther, 0, false, "(No flash) (File)"},
  };
  for (const auto& c : cases) {
    pic_Item row;
    row.set_Orientation(c.orientation);
    row.kind = c.kind;
    if (c.sound_note) row.companions.push_back({"D:\\X.WAV", FileKind::kSound});
    EXPECT_EQ(RowText(row)[2], QString::fromLatin1(c.line)) << int(c.kind);
  }
}

TEST(PictureRowText, DatesInUtc) {
  pic_Item row;
  row.set_Date(1700000000);
  EXPECT_EQ(RowText(row)[3], QStringLiteral("Tue Nov 14 22:13:20 2023"));
  row.set_Date(0xFFFFFFFF);
  EXPECT_EQ(RowText(row)[3], QStringLiteral("Sun Feb  7 06:28:15 2106"));
}

TEST(PictureRowText, LargeSizesStayPositive) {
  pic_Item row;
  row.set_Size(3000000000u);
  EXPECT_EQ(RowText(row)[1], QStringLiteral("0*0 pixels 3000000000 bytes."));
}

TEST(PictureRowText, AttributeLines) {
  pic_Item row;
  row.set_Attrs(0x21);
  EXPECT_EQ(RowText(row)[4], QStringLiteral("New picture"));
  EXPECT_EQ(RowText(row)[5], QStringLiteral("Delete protected."));
  row.set_Attrs(0x01);
  EXPECT_EQ(RowText(row)[4], QStringLiteral("Downloaded"));
}

TEST(PictureRowText, ColumnGoesByTheLongerSide) {
  pic_Item row;
  EXPECT_EQ(TextColumn(row), 169);
  row.set_Bitmap(rows::Pattern(160, 120));
  EXPECT_EQ(TextColumn(row), 169);
  row.Rotate(90);
  EXPECT_EQ(TextColumn(row), 169);
  row.set_Bitmap(rows::Pattern(80, 60));
  EXPECT_EQ(TextColumn(row), 89);
}

// Draws a row into an image painted green beforehand, so that what the row fills shows.
class PictureRowDrawing : public testing::Test {
 protected:
  static constexpr QRgb kUnderneath = 0xFF00FF00;

  QImage Draw(const pic_Item& row, const RowState& state) {
    QImage image(420, row.height + 20, QImage::Format_RGB32);
    image.fill(kUnderneath);
    QPainter painter(&image);
    painter.setFont(rowpixels::RowFont());
    DrawItem(painter, row, QRect(0, 10, 420, row.height), state);
    return image;
  }

  RowState Plain() const { return RowState{false, true, false, QColor(Qt::white)}; }

  qreal Pitch() const {
    const QFontMetricsF metrics(rowpixels::RowFont());
    return metrics.ascent() + metrics.descent();
  }
};

TEST_F(PictureRowDrawing, UsesARealFont) {
  rowpixels::ExpectRealFont(rowpixels::RowFont());
}

TEST_F(PictureRowDrawing, SelectedRowIsFilled) {
  pic_Item row;
  row.Update();
  RowState state = Plain();
  state.selected = true;
  const QImage image = Draw(row, state);
  EXPECT_EQ(image.pixel(0, 10), qRgb(238, 238, 255));
  EXPECT_EQ(image.pixel(419, 10 + 126), qRgb(238, 238, 255));
  EXPECT_EQ(image.pixel(0, 9), kUnderneath);
  EXPECT_EQ(image.pixel(0, 10 + 127), kUnderneath);
}

TEST_F(PictureRowDrawing, UnselectedRowKeepsTheBackgroundUnlessComplete) {
  pic_Item row;
  row.Update();
  EXPECT_EQ(Draw(row, Plain()).pixel(2, 12), kUnderneath);
  RowState complete = Plain();
  complete.complete = true;
  EXPECT_EQ(Draw(row, complete).pixel(2, 12), qRgb(255, 255, 255));
}

TEST_F(PictureRowDrawing, TextIsRedInTheTextColumn) {
  std::unique_ptr<pic_Item> row(rows::Make(0, 0x21));
  row->Update();
  const QImage image = Draw(*row, Plain());
  const QRect text = RedExtent(image, QRect(160, 0, 260, image.height()));
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GE(text.left(), 169);
  EXPECT_LE(text.left(), 172);
  const QFontMetricsF metrics(rowpixels::RowFont());
  EXPECT_GE(text.top(), 10 + Pitch() - metrics.ascent() - 1);
  // Line 6 ("Delete protected.") reaches below line 5's descent.
  EXPECT_GT(text.bottom(), 10 + 5 * Pitch() + metrics.descent());
  EXPECT_LE(text.bottom(), 10 + 6 * Pitch() + metrics.descent() + 1);
  // Nothing left of the column but "No thumbnail" at x = 50.
  const QRect placeholder = RedExtent(image, QRect(0, 0, 169, image.height()));
  EXPECT_GE(placeholder.left(), 50);
  EXPECT_LE(placeholder.left(), 53);
  const qreal baseline = 10 + 60 + Pitch() / 2;
  EXPECT_GE(placeholder.top(), baseline - metrics.ascent() - 1);
  EXPECT_LE(placeholder.bottom(), baseline + metrics.descent() + 1);
}

TEST_F(PictureRowDrawing, EmptySixthLineForUnprotectedRows) {
  std::unique_ptr<pic_Item> row(rows::Make(0, 0x00));
  row->Update();
  const QImage image = Draw(*row, Plain());
  const QRect text = RedExtent(image, QRect(169, 0, 251, image.height()));
  const QFontMetricsF metrics(rowpixels::RowFont());
  EXPECT_LE(text.bottom(), 10 + 5 * Pitch() + metrics.descent() + 1);
  EXPECT_GT(text.bottom(), 10 + 4 * Pitch() + metrics.descent());
}

TEST_F(PictureRowDrawing, DisabledTextIsDarkRed) {
  pic_Item row;
  row.Update();
  RowState state = Plain();
  state.enabled = false;
  const QImage image = Draw(row, state);
  EXPECT_TRUE(RedExtent(image, image.rect()).isEmpty());
  const QRect dark =
      rowpixels::Extent(image, image.rect(), [](QRgb pixel) { return pixel == qRgb(119, 0, 0); });
  EXPECT_FALSE(dark.isEmpty());
}

TEST_F(PictureRowDrawing, ThumbnailUnscaledAtFourFour) {
  pic_Item row;
  row.set_Bitmap(rows::Pattern(160, 120, 5));
  row.Update();
  const kit::Bitmap& thumbnail = *row.Thumbnail();
  const QImage image = Draw(row, Plain());
  EXPECT_EQ(image.pixel(4, 14), thumbnail.PixelAt(0, 0));
  EXPECT_EQ(image.pixel(4 + 37, 14 + 21), thumbnail.PixelAt(37, 21));
  EXPECT_EQ(image.pixel(4 + 159, 14 + 119), thumbnail.PixelAt(159, 119));
  EXPECT_EQ(image.pixel(3, 13), kUnderneath);
  EXPECT_EQ(image.pixel(4 + 160, 14 + 120), kUnderneath);
  // No placeholder text where the thumbnail is.
  EXPECT_TRUE(RedExtent(image, QRect(0, 0, 169, image.height())).isEmpty());
}

}  // namespace

// The copy and picture commands of the main window, through its menus and
// keys, with the save dialog answered by script.
#include "ui/image_export.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "tests/support/case_name.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/temp_folder.h"
#include "tests/support/zip_entries.h"
#include "ui/main_window.h"

namespace mirotabe {
namespace {

using enum ConvertTrigger;

using testing_support::ReadFile;
using testing_support::WriteFile;

const QString kPng = QStringLiteral("PNG 画像(*.png)");
const QString kPdf = QStringLiteral("PDF(*.pdf)");

class ImageExportTest : public testing_support::MainWindowTest {
 protected:
  std::string Settings() const { return Bytes("Setting.ini"); }

  // Chooses `name` in the folder and leaves `type` selected in the dialog.
  void AnswerSave(const char* name, const QString& type) {
    services_.saveAnswers.push_back(PathOf(name));
    services_.saveFilterAnswers.push_back(type);
  }
};

bool IsPng(const std::string& bytes) {
  return bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
}
bool IsPdf(const std::string& bytes) {
  return bytes.compare(0, 5, "%PDF-") == 0;
}

// ---- Copy ----

TEST_F(ImageExportTest, CtrlShiftCCopiesTheWholeOutputWithLineFeeds) {
  Open();
  QApplication::setActiveWindow(window_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  struct Case {
    QString typed;
    QString copied;
  };
  for (const Case& c : {Case{QStringLiteral("ab"), QStringLiteral("ａ\nｂ")},
                        Case{QStringLiteral("\ncd"), QStringLiteral("ｃ　\nｄ　")},
                        Case{QStringLiteral("e\nfg"), QStringLiteral("ｆｅ\nｇ　")}}) {
    Input()->clear();
    Type(c.typed);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(Input(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.copied) << c.typed.toStdString();
  }
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ImageExportTest, AnOutputTooLargeToLayOutIsNeitherCopiedNorSaved) {
  Open();
  window_->SetMaxLayoutCells(3);
  Type(QStringLiteral("abcd"));
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  Action("Menu_Convert_Copy")->trigger();
  Action("Menu_Convert_SaveImage")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  EXPECT_TRUE(services_.saveCalls.empty());
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_TRUE(services_.messages[0].text.startsWith(QStringLiteral("縦書きをコピーできません。")));
  EXPECT_TRUE(services_.messages[1].text.startsWith(QStringLiteral("画像として保存できません。")));
  EXPECT_TRUE(services_.messages[1].text.contains(QStringLiteral("大きすぎる")));
}

// ---- Save as image ----

struct SaveCase {
  const char* name;
  const char* answered;  // the name chosen in the dialog
  QString type;          // the file type left selected
  const char* written;   // the file written
  bool pdf;
};

class ImageSaveTest : public ImageExportTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(ImageSaveTest, TheNameOrElseTheSelectedTypeDecidesTheFormat) {
  const SaveCase& c = GetParam();
  Open();
  Input()->setPlainText(QStringLiteral("縦書き\nです"));
  AnswerSave(c.answered, c.type);
  Action("Menu_Convert_SaveImage")->trigger();

  ASSERT_EQ(services_.saveCalls.size(), 1u);
  EXPECT_EQ(services_.saveCalls[0].filters, (QStringList{kPng, kPdf}));
  EXPECT_TRUE(services_.messages.empty());
  const std::string bytes = ReadFile(folder_.PathOf(c.written));
  EXPECT_TRUE(c.pdf ? IsPdf(bytes) : IsPng(bytes)) << bytes.substr(0, 8);
  if (!c.pdf) {
    // 2 columns of 3 rows half a cell apart and the margin, at 24 pixels a
    // cell.
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(bytes)).size(), QSize(108, 120));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ImageSaveTest,
    testing::Values(SaveCase{"PngName", "a.png", kPng, "a.png", false},
                    SaveCase{"PngNameUnderPdfType", "b.PNG", kPdf, "b.PNG", false},
                    SaveCase{"PdfName", "c.pdf", kPdf, "c.pdf", true},
                    SaveCase{"PdfNameUnderPngType", "d.Pdf", kPng, "d.Pdf", true},
                    SaveCase{"BareNameUnderPngType", "e", kPng, "e.png", false},
                    SaveCase{"BareNameUnderPdfType", "f", kPdf, "f.pdf", true},
                    SaveCase{"OtherSuffixKept", "g.txt", kPdf, "g.txt.pdf", true}),
    testing_support::CaseName());

// The input read in the notation, as the settings' default says for books.
TEST_F(ImageExportTest, AnEbookOfTheInputIsSavedUnderAnEpubName) {
  Open();
  Input()->setPlainText(QStringLiteral("｜吾輩《わがはい》は猫である。［＃「猫」に傍点］"));
  for (const auto& [answered, written] : {std::pair{"book", "book.epub"}, {"b.EPUB", "b.EPUB"}}) {
    AnswerSave(answered, QStringLiteral("電子書籍 EPUB(*.epub)"));
    Action("Menu_Convert_SaveEbook")->trigger();
    const std::vector<testing_support::ZipEntry> entries =
        testing_support::ReadZipEntries(ReadFile(folder_.PathOf(written)));
    ASSERT_FALSE(entries.empty()) << written;
    EXPECT_EQ(entries[0].name, "mimetype");
    std::string pages;
    for (const auto& entry : entries) {
      if (entry.name.ends_with(".xhtml")) pages += entry.bytes;
    }
    EXPECT_NE(pages.find("<ruby>"), std::string::npos);
    EXPECT_EQ(pages.find("［＃"), std::string::npos);
  }
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ImageExportTest, CancellingTheDialogWritesNothing) {
  Open();
  Type(QStringLiteral("a"));
  Action("Menu_Convert_SaveImage")->trigger();
  EXPECT_EQ(services_.saveCalls.size(), 1u);
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 0);
}

TEST_F(ImageExportTest, AnAddedSuffixNamingAnExistingFileIsConfirmed) {
  Open();
  Type(QStringLiteral("a"));
  WriteFile(folder_.PathOf("pic.png"), "old");
  for (const bool replace : {false, true}) {
    AnswerSave("pic", kPng);
    services_.proceedAnswers.push_back(replace);
    Action("Menu_Convert_SaveImage")->trigger();
    EXPECT_EQ(IsPng(ReadFile(folder_.PathOf("pic.png"))), replace);
  }
  ASSERT_EQ(services_.questions.size(), 2u);
  EXPECT_TRUE(services_.questions[0].contains(QStringLiteral("置き換えますか")));
}

TEST_F(ImageExportTest, APngTooLargeIsOfferedAsAPdf) {
  Open();
  // 1,364 columns of 24 pixels and the margin are wider than a PNG may be.
  QString lines;
  for (int n = 0; n < 1364; ++n) lines += QStringLiteral("あ\n");
  Input()->setPlainText(lines);
  for (const bool accept : {false, true}) {
    AnswerSave("wide.png", kPng);
    services_.proceedAnswers.push_back(accept);
    Action("Menu_Convert_SaveImage")->trigger();
    EXPECT_FALSE(std::filesystem::exists(folder_.PathOf("wide.png")));
    EXPECT_EQ(IsPdf(ReadFile(folder_.PathOf("wide.pdf"))), accept);
  }
  ASSERT_EQ(services_.questions.size(), 2u);
  EXPECT_TRUE(services_.questions[0].contains(QStringLiteral("32767")));
  EXPECT_TRUE(services_.questions[0].contains(PathOf("wide.pdf")));
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ImageExportTest, AFailedWriteIsReported) {
  Open();
  Type(QStringLiteral("a"));
  AnswerSave("missing/pic.png", kPng);
  Action("Menu_Convert_SaveImage")->trigger();
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].icon, MessageIcon::Error);
  EXPECT_TRUE(services_.messages[0].text.startsWith(
      QStringLiteral("画像を保存できませんでした。\r\n") + PathOf("missing/pic.png")));
}

// ---- The picture's options ----

TEST_F(ImageExportTest, OptionsAreKeptInTheSettingsFileAndShapeThePicture) {
  WriteFile(folder_.PathOf("Setting.ini"), "[Main]\r\nTabSpace=4\r\n");
  Open();
  EXPECT_TRUE(Action("Menu_Convert_CellSize_24")->isChecked());
  EXPECT_FALSE(Action("Menu_Convert_ImageGrid")->isChecked());

  Action("Menu_Convert_CellSize_48")->trigger();
  Action("Menu_Convert_ImageGrid")->trigger();
  EXPECT_EQ(Settings(),
            "[Main]\r\nTabSpace=4\r\n[Layout]\r\nImageCellSize=48\r\nImageGrid=1\r\nVerticalGlyphs="
            "1\r\n");
  EXPECT_FALSE(Action("Menu_Convert_CellSize_24")->isChecked());

  Type(QStringLiteral("a"));
  AnswerSave("big.png", kPng);
  Action("Menu_Convert_SaveImage")->trigger();
  const QImage image(PathOf("big.png"));
  EXPECT_EQ(image.size(), QSize(3 * 48, 3 * 48));
  EXPECT_LT(qGray(image.pixel(48, 52 + 26)), 0xFF);  // the grid's left line

  // A new window starts with the kept options.
  Open();
  EXPECT_TRUE(Action("Menu_Convert_CellSize_48")->isChecked());
  EXPECT_TRUE(Action("Menu_Convert_ImageGrid")->isChecked());
}

// [Layout] keys that set a picture apart from the grid the window shows:
// 縦中横 puts "12" in one cell, sideways Latin fits "abcdef" by advance,
// and the picture is only as tall as the shorter column.
TEST_F(ImageExportTest, ThePictureFollowsTheTypesettingOfTheSettingsFile) {
  const struct {
    const char* key;
    const char* text;
    const char* name;
  } kCases[] = {{"Tcy=2", "12月", "tcy.png"}, {"Latin=1", "abcdef", "latin.png"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.key);
    const auto pictureOf = [&](const std::string& settings, const std::string& name) {
      WriteFile(folder_.PathOf("Setting.ini"), settings);
      EXPECT_TRUE(LoadSettings(settings_, folder_.PathOf("Setting.ini")).ok());
      Open();
      Input()->setPlainText(QString::fromUtf8(c.text));
      AnswerSave(name.c_str(), kPng);
      Action("Menu_Convert_SaveImage")->trigger();
      return QImage(PathOf(name.c_str())).convertToFormat(QImage::Format_RGB32);
    };
    const QImage grid =
        pictureOf("[Layout]\r\nImageCellSize=24\r\n", "grid-" + std::string(c.name));
    const QImage typeset =
        pictureOf(std::string("[Layout]\r\nImageCellSize=24\r\n") + c.key + "\r\n", c.name);
    // The text's last cell, a cell's margin in: inked on the grid, past
    // the picture's end or blank once the text takes fewer cells.
    const auto last = static_cast<int>(QString::fromUtf8(c.text).size());
    const auto inked = [&](const QImage& image) {
      for (int y = 24 * last; y < std::min(24 * (last + 1), image.height()); ++y) {
        for (int x = 24; x < 48; ++x) {
          if (qGray(image.pixel(x, y)) < 0x80) return true;
        }
      }
      return false;
    };
    EXPECT_TRUE(inked(grid));
    EXPECT_FALSE(inked(typeset));
    EXPECT_LT(typeset.height(), grid.height());
  }
}

TEST_F(ImageExportTest, ACellSizeFromTheSettingsFileIsOfferedChecked) {
  WriteFile(folder_.PathOf("Setting.ini"), "[Layout]\r\nImageCellSize=30\r\n");
  // As at start-up: the settings are read once, before the window is made.
  ASSERT_TRUE(LoadSettings(settings_, folder_.PathOf("Setting.ini")).ok());
  Open();
  QStringList offered;
  for (QAction* action : window_->findChild<QMenu*>("Menu_Convert_CellSize")->actions()) {
    offered.push_back(action->text());
  }
  EXPECT_EQ(offered, (QStringList{"16 ピクセル(&1)", "24 ピクセル(&2)", "30 ピクセル(&3)",
                                  "32 ピクセル(&4)", "48 ピクセル(&5)"}));
  EXPECT_TRUE(Action("Menu_Convert_CellSize_30")->isChecked());
}

TEST_F(ImageExportTest, AnOptionThatCannotBeKeptIsReported) {
  // A folder where the file should be.
  std::filesystem::create_directory(folder_.PathOf("Setting.ini"));
  Open();
  Action("Menu_Convert_ImageGrid")->trigger();
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(
      services_.messages[0].text.startsWith(QStringLiteral("設定を保存できませんでした。")));
  EXPECT_TRUE(Action("Menu_Convert_ImageGrid")->isChecked());
}

}  // namespace
}  // namespace mirotabe

namespace mirotabe {
namespace {

// ページ設定… takes any cell size and the pages of a PDF, keeps them in
// the settings file, and a PDF saved then is made of those pages.
TEST_F(ImageExportTest, PageSetupMakesThePdfOfPagesAndIsKept) {
  Open();
  Input()->setPlainText(QStringLiteral("ラーメン「です。」\nちょっと"));
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QSpinBox*>(QStringLiteral("CellSize"))->setValue(100);
    dialog->findChild<QCheckBox*>(QStringLiteral("Pages"))->setChecked(true);
    dialog->findChild<QComboBox*>(QStringLiteral("Paper"))->setCurrentIndex(6);
    // Pages push out while nothing else is chosen.
    EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("PageKinsoku"))->currentIndex(), 2);
    // Ruby is unchosen, and so set on pages only, until chosen.
    EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("Ruby"))->currentIndex(), 0);
    dialog->accept();
  });
  Trigger("Menu_Convert_PageSetup");
  std::string settings = Settings();
  EXPECT_NE(settings.find("ImageCellSize=100\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("[Page]\r\nEnabled=1\r\nPaper=6\r\n"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("PageNumbers=0\r\nKinsoku"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("Ruby="), std::string::npos) << settings;
  EXPECT_EQ(settings_.picture.cellSize, 100);
  EXPECT_EQ(settings_.page.face, Typeface::kMincho);
  // A rule chosen for pages is kept as the page's own; so are the face and
  // the pictures' spacing, and a spacing of pages that the dialog does not
  // show.
  settings_.page.columnSpacing = 0.625;
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QComboBox*>(QStringLiteral("PageKinsoku"))->setCurrentIndex(0);
    dialog->findChild<QComboBox*>(QStringLiteral("Ruby"))->setCurrentIndex(2);
    dialog->findChild<QComboBox*>(QStringLiteral("PageFont"))->setCurrentIndex(1);
    dialog->findChild<QDoubleSpinBox*>(QStringLiteral("ColumnSpacing"))->setValue(1);
    dialog->accept();
  });
  Trigger("Menu_Convert_PageSetup");
  settings = Settings();
  EXPECT_NE(settings.find("PageNumbers=0\r\nKinsoku=0\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Ruby=0\r\n"), std::string::npos) << settings;
  EXPECT_EQ(settings_.picture.ruby, false);
  for (const char* key : {"Font=1\r\n", "ImageColumnSpacing=1\r\n", "ColumnSpacing=0.625\r\n"}) {
    EXPECT_NE(settings.find(key), std::string::npos) << key << settings;
  }

  AnswerSave("pages", kPdf);
  Trigger("Menu_Convert_SaveImage");
  ASSERT_TRUE(IsPdf(Bytes("pages.pdf")));
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {PathOf("pages.pdf")});
  ASSERT_TRUE(info.waitForFinished(60000));
  EXPECT_TRUE(info.readAllStandardOutput().contains("841.89 x 595.28 pts"));
  QProcess fonts;
  fonts.start(QStringLiteral("pdffonts"), {PathOf("pages.pdf")});
  ASSERT_TRUE(fonts.waitForFinished(60000));
  const QByteArray faces = fonts.readAllStandardOutput();
  EXPECT_TRUE(faces.contains("IPAGothic") && !faces.contains("IPAMincho")) << faces.toStdString();
  EXPECT_TRUE(services_.messages.empty());
}

}  // namespace
}  // namespace mirotabe

#include <gtest/gtest.h>

#include "platform/uikit/render/PrintableText.h"
#include "platform/uikit/render/ScreenRenderer.h"
#include "sample_screens_test_util.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

TEST(PrintableTextTest, ControlCharactersShowAsWhatTheyAreAndEveryOtherTextStaysAsItIs) {
  EXPECT_EQ(printableText("\x1b]0;pwned\x07\x1b[2J"), "\\e]0;pwned\\x07\\e[2J");
  EXPECT_EQ(printableText("政治导学课\n讲师：陈海涛\r\t\x7f\x01"),
            "政治导学课\\n讲师：陈海涛\\r\\t\\x7f\\x01");
  EXPECT_EQ(printableText("\xC2\x9B"
                          "2J \xC2\x85"),
            "\\u009b2J \\u0085")
      << "the C1 controls";
  const std::string plain = "    2018考研 ✓ é \xF0\x9F\x93\x9A \xC2\xA0";
  EXPECT_EQ(printableText(plain), plain);
  EXPECT_EQ(printableText(""), "");
}

TEST(PrintableTextTest, BytesThatAreNotUtf8BecomeOneReplacementCharacterForEachIllFormedPart) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(printableText("a\xFF"
                          "b"),
            "a" + replacement + "b");
  EXPECT_EQ(printableText("\xE6\x94"
                          "x"),
            replacement + "x")
      << "a character cut short is one";
  EXPECT_EQ(printableText("\xE6\x94"), replacement) << "also at the end";
  EXPECT_EQ(printableText("\xC0\xAF"), replacement + replacement) << "an overlong form";
  EXPECT_EQ(printableText("\xED\xA0\x80"), replacement + replacement + replacement) << "a surrogate";
  EXPECT_EQ(printableText("\xF4\x90\x80\x80"), replacement + replacement + replacement + replacement)
      << "past U+10FFFF";
  const std::string binary("\x00\x89PNG\r\n\x1a\n", 9);
  const std::string shown = printableText(binary);
  EXPECT_EQ(shown, "\\x00" + replacement + "PNG\\r\\n\\x1a\\n");
  EXPECT_EQ(printableText(shown), shown) << "what is printable passes unchanged";
}

using PrintableScreenTest = UikitTest;

TEST_F(PrintableScreenTest, EveryViewIsOneLineOfTheScreenTextWhateverItsTextHolds) {
  auto list = std::make_shared<QMSampleListController>();
  list->subjects = {"政治导学课\n讲师：陈海涛", "\x1b[2J\x1b]0;title\x07"};
  auto window = showWindowWithRoot(list);
  auto label = std::make_shared<Label>(Rect(0, 0, 100, 20));
  label->setText("line\r\nbreak\xFF");
  list->view()->addSubview(label);

  EXPECT_EQ(ScreenRenderer::renderKeyWindow(),
            "[QMSampleListController]\n"
            "label: line\\r\\nbreak\xEF\xBF\xBD\n"
            "table subjectTable:\n"
            "  [0] 政治导学课\\n讲师：陈海涛 | 3章节\n"
            "  [1] \\e[2J\\e]0;title\\x07 | 3章节\n");
}

}  // namespace
}  // namespace uikit::testing

#include "widgets/byte_text.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolButton>

#include "platform/folders.h"
#include "resources/windows/resource_list_window.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"

namespace vexlor {
namespace {

TEST(ByteText, Utf8ShowsAsItsCharactersAndEveryOtherByteComesBack) {
    EXPECT_EQ(TextOfBytes("\xF0\x9F\x9A\x80"), QString::fromUcs4(U"\U0001F680", 1));
    // A lone Latin-1 byte, an overlong '/', a cut sequence and an encoded surrogate: no text.
    const std::string invalid = "\xC4-\xC0\xAF-\xE2\x82-\xED\xA0\x80";
    EXPECT_EQ(TextOfBytes(invalid).count(QChar(u'-')), 3);
    EXPECT_EQ(TextOfBytes(invalid)[0], QChar(u'\xDCC4'));
    std::string everyByte;
    for (int value = 0; value < 256; ++value) {
        everyByte += static_cast<char>(value);
    }
    // The last: a pair whose low half lies among the stand-ins, then a stand-in.
    for (const std::string& bytes : {invalid, everyByte, std::string("\xF0\x90\x82\x80\xC4")}) {
        EXPECT_EQ(BytesOfText(TextOfBytes(bytes)), bytes);
    }
}

TEST(ByteText, TheResourceListShowsUtf8NamesAndSavesUntouchedLinesByteForByte) {
    test::TempDir temp;
    SetAppFolders({temp.Path().string() + "/", temp.Path().string() + "/"});
    const std::string old = "Resdata\\\xC3\x84RGER.DAT\r\nResdata\\\xC4RGER.DAT\r\n";
    test::WriteFileBytes(temp.Path() / "resdata.txt", test::Bytes(old.begin(), old.end()));
    test::FakeUserDialogs dialogs;
    {
        ResourceListWindow window(dialogs, nullptr);
        EXPECT_TRUE(window.TextArea()->toPlainText().startsWith(u"Resdata\\ÄRGER.DAT\n"));
        window.TextArea()->moveCursor(QTextCursor::End);
        window.TextArea()->textCursor().insertText(QStringLiteral(u"Resdata\\ÉTÉ.DAT"));
        window.SaveButton()->click();
    }
    const test::Bytes saved = test::ReadFileBytes(temp.Path() / "resdata.txt");
    EXPECT_EQ(std::string(saved.begin(), saved.end()), old + "Resdata\\\xC3\x89T\xC3\x89.DAT\r\n");
    SetAppFolders({});
}

}  // namespace
}  // namespace vexlor

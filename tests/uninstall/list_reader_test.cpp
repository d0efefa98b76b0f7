// Reading Uninstall.lst line by line: lines longer than the buffer and lines
// with a zero byte are passed over whole.
#include "uninstall/list_reader.h"

#include <string>
#include <vector>

#include "common/file.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

class ListReaderTest : public UninstallTest {
  protected:
    // The lines a reader hands out for a list of `bytes`, over `passes` passes.
    std::vector<std::string> Lines(const std::string& bytes, int passes = 1) {
        SetList(bytes);
        std::vector<std::string> lines;
        InProgram([&] {
            File list;
            const std::string name = Ansi(machine(), Folder() + "Uninstall.lst");
            ASSERT_TRUE(list.Open(name.c_str(), nullptr, false, false));
            ListReader reader(list);
            char line[ListReader::kLineSize];
            for (int pass = 0; pass < passes; ++pass) {
                if (pass > 0) reader.Rewind();
                while (reader.NextLine(line)) lines.push_back(line);
            }
        });
        return lines;
    }
};

TEST_F(ListReaderTest, LinesAreHandedOutWithTheirLineEnds) {
    EXPECT_EQ(Lines("a\r\nb\n\nlast"), (std::vector<std::string>{"a\r\n", "b\n", "\n", "last"}));
    EXPECT_EQ(Lines(""), std::vector<std::string>{});
    EXPECT_EQ(Lines("a\nb\n", 2), (std::vector<std::string>{"a\n", "b\n", "a\n", "b\n"}));
}

TEST_F(ListReaderTest, LinesLongerThanTheBufferArePassedOverWhole) {
    const std::string fits(ListReader::kLineSize - 2, 'f');     // with its LF: 2047 bytes
    const std::string tooLong(ListReader::kLineSize - 1, 'x');  // with its LF: 2048
    // Its last bytes would name a file of their own if they were read on.
    const std::string tail = "Velkor.exe";
    const std::string huge(3 * ListReader::kChunkSize, 'y');
    const std::vector<std::string> lines =
        Lines(fits + "\n" + tooLong + "\n" + huge + tail + "\r\nafter\n" + fits + "f");
    EXPECT_EQ(lines, (std::vector<std::string>{fits + "\n", "after\n", fits + "f"}));
}

TEST_F(ListReaderTest, LinesWithAZeroByteArePassedOver) {
    using namespace std::string_literals;
    EXPECT_EQ(Lines("Vlk.txt\0..\\..\\x\nnext\n"s), (std::vector<std::string>{"next\n"}));
}

}  // namespace
}  // namespace uninstall_test

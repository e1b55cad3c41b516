// The definition file: what is written, what is read back, and hand-edited files.
#include "Calibration.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace tevra;
using tevra::test::TempDir;

namespace {
Calibration& loadText(Calibration& cal, const TempDir& dir, const std::string& text) {
    const std::string path = dir.file("in.tbl");
    TempDir::write(path, text);
    cal.Clear();
    EXPECT_TRUE(cal.LoadDefinitions(path));
    return cal;
}
} // namespace

TEST(DefinitionFile, WritesTheDocumentedLines) {
    TempDir dir;
    Calibration cal;
    cal.SetImage({1, 2, 3});
    cal.mapType = 2.5f;
    cal.checksumEnabled = true;
    cal.checksumAddress = 0xC00;
    cal.fixupAddress = 0xFFFF;
    CalEntry* e = cal.NewEntry();
    e->type = EntryType::Unsigned8Table;
    e->name = "Spark Advance";
    e->address = 0xE100;
    CalEntry* v = cal.NewEntry();
    v->type = EntryType::ValueList;
    v->address = 0xC0;
    v->name = "List";
    v->itemValues = {0, 5, 255, 0, 0, 0, 0, 0};
    ASSERT_TRUE(cal.SaveDefinitions(dir.file("out.tbl")));
    EXPECT_EQ(TempDir::read(dir.file("out.tbl")),
              "C000\r\nTevra Calibration\r\nTevra\r\ninjectors 33.0\r\nboost 12.0\r\nmap 2.5\r\n"
              "checksum y 0C00 FFFF\r\ncrc32 55BC801D\r\nTevra_Version 1.11\r\n"
              "E100 0 n Spark_Advance IN 0 256 X OUT 0 256 Y NAME Description\r\n"
              "C0 6 n List IN 0 256 X OUT 0 256 Y NAME Description Unused 00 Unused 05 Unused FF "
              "Unused 00 Unused 00 Unused 00 Unused 00 Unused 00\r\n");
}

TEST(DefinitionFile, RoundTripKeepsEveryField) {
    TempDir dir;
    Calibration cal;
    CalEntry* e = cal.NewEntry();
    e->type = EntryType::FlagByte;
    e->address = 0xC123;
    e->name = "A_B";
    e->xUnit = ""; // empty fields must not swallow the tokens after them
    e->yMin = "";
    e->yMax = "12 psi";
    e->userFlag = true;
    e->description = std::string(3000, 'd'); // longer than any line buffer
    e->itemNames[3] = "Bit Three";
    ASSERT_TRUE(cal.SaveDefinitions(dir.file("a.tbl")));
    EXPECT_EQ(e->name, "A B"); // saving leaves memory as the file reads back

    Calibration back;
    ASSERT_TRUE(back.LoadDefinitions(dir.file("a.tbl")));
    ASSERT_EQ(back.entryCount(), 1);
    const CalEntry* r = back.EntryAt(0);
    EXPECT_EQ(r->type, EntryType::FlagByte);
    EXPECT_EQ(r->address, 0xC123);
    EXPECT_EQ(r->name, "A B");
    EXPECT_EQ(r->xUnit, " ");
    EXPECT_EQ(r->yName, "OUT");
    EXPECT_EQ(r->yMin, "0");
    EXPECT_EQ(r->yMax, "12");
    EXPECT_EQ(r->yUnit, "Y");
    EXPECT_TRUE(r->userFlag);
    EXPECT_EQ(r->description, e->description);
    EXPECT_EQ(r->itemNames[3], "Bit Three");
    EXPECT_EQ(back.definitionPath, dir.file("a.tbl"));
}

TEST(DefinitionFile, HandEditedFiles) {
    TempDir dir;
    Calibration cal;
    // Three lines only: no entries, parameters as after Clear.
    loadText(cal, dir, "8000\nDesc\nMe\n");
    EXPECT_EQ(cal.baseAddress, 0x8000);
    EXPECT_EQ(cal.author, "Me");
    EXPECT_EQ(cal.entryCount(), 0);
    EXPECT_FLOAT_EQ(cal.injectorSize, 33.0f);

    // Keys in any order, repeated (last wins), any case, CR LF; comments and blank lines.
    loadText(cal, dir,
             "C000\r\n\r\nAuthor\r\nBOOST 15\r\nboost 16\r\nmapping\r\n;E100 0 n x\r\n\r\n"
             "checksum yes 10\r\ninjectors   44.5\r\ncrc32 12345678\r\nTevra_Version 9.9\r\n");
    EXPECT_EQ(cal.description, "");
    EXPECT_EQ(cal.author, "Author");
    EXPECT_FLOAT_EQ(cal.maxBoost, 16.0f);
    EXPECT_FLOAT_EQ(cal.mapType, 0.0f);
    EXPECT_TRUE(cal.checksumEnabled);
    EXPECT_EQ(cal.checksumAddress, 0x10);
    EXPECT_EQ(cal.fixupAddress, 0);
    EXPECT_FLOAT_EQ(cal.injectorSize, 44.5f);
    EXPECT_EQ(cal.entryCount(), 0);

    // Malformed entry lines still become entries, with defaults where tokens fail.
    loadText(cal, dir, "C000\nd\na\nzz x n\nC0 6 y N a b c d e f g h i  j k 00 l FF\n");
    ASSERT_EQ(cal.entryCount(), 2);
    EXPECT_EQ(cal.EntryAt(0)->address, 0xC000);
    EXPECT_EQ(cal.EntryAt(0)->type, EntryType::Unsigned8Table);
    EXPECT_EQ(cal.EntryAt(0)->name, "");
    const CalEntry* list = cal.EntryAt(1);
    EXPECT_EQ(list->description, "j");
    EXPECT_EQ(list->itemNames[0], "k");
    EXPECT_EQ(list->itemValues[0], 0);
    EXPECT_EQ(list->itemNames[1], "l");
    EXPECT_EQ(list->itemValues[1], 255);
    EXPECT_EQ(list->itemNames[2], "");

    // A stray NUL byte is part of its line; it must not join the next one to it.
    using namespace std::string_literals;
    loadText(cal, dir, "C000\nd\na\nC000 3 n A\0B\r\nC001 3 n Second\n"s);
    ASSERT_EQ(cal.entryCount(), 2);
    EXPECT_EQ(cal.EntryAt(0)->name, "A\0B"s);
    EXPECT_EQ(cal.EntryAt(1)->name, "Second");
}

TEST(DefinitionFile, EveryLineEndReadsAlike) {
    // The same file as written, then with LF alone and with CR alone (old Mac
    // editors): every one gives every entry and every key, the CRC line included.
    TempDir dir;
    Calibration written;
    written.SetImage(std::vector<std::uint8_t>(32, 7));
    written.description = "Stage 1";
    written.maxBoost = 14.5f;
    for (const char* name : {"Spark Advance", "Fuel Trim", "Idle Speed"})
        written.NewEntry()->name = name;
    ASSERT_TRUE(written.SaveDefinitions(dir.file("crlf.tbl")));
    const std::string crlf = TempDir::read(dir.file("crlf.tbl"));
    auto replaced = [&](const std::string& eol) {
        std::string out;
        for (std::size_t i = 0; i < crlf.size(); ++i) {
            if (crlf.compare(i, 2, "\r\n") == 0) {
                out += eol;
                ++i;
            } else {
                out += crlf[i];
            }
        }
        return out;
    };
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        TempDir::write(dir.file("in.tbl"), replaced(eol));
        Calibration cal;
        ASSERT_TRUE(cal.LoadDefinitions(dir.file("in.tbl")));
        EXPECT_EQ(cal.description, "Stage 1");
        EXPECT_EQ(cal.author, "Tevra");
        EXPECT_FLOAT_EQ(cal.maxBoost, 14.5f);
        ASSERT_EQ(cal.entryCount(), 3) << eol.size();
        EXPECT_EQ(cal.EntryAt(2)->name, "Idle Speed");
        std::uint32_t crc = 0;
        EXPECT_TRUE(Calibration::ReadDefinitionCrc(dir.file("in.tbl"), crc));
        EXPECT_EQ(crc, written.ImageCrc32());
    }
}

TEST(DefinitionFile, ReadsTheCrcLine) {
    TempDir dir;
    TempDir::write(dir.file("x.TBL"), "C000\nd\na\nCRC32 00ab12CD\n");
    std::uint32_t crc = 0;
    EXPECT_TRUE(Calibration::ReadDefinitionCrc(dir.file("x.TBL"), crc));
    EXPECT_EQ(crc, 0x00AB12CDu);
    TempDir::write(dir.file("y.TBL"), "C000\nd\na\n");
    EXPECT_FALSE(Calibration::ReadDefinitionCrc(dir.file("y.TBL"), crc));
    Calibration cal;
    EXPECT_FALSE(cal.LoadDefinitions(dir.file("missing.tbl")));
    EXPECT_FALSE(cal.LoadDefinitions(dir.path().string()));
    EXPECT_FALSE(cal.SaveDefinitions(""));
}

#include "search/result_row.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ResultRow, ExtensionIsEverythingAfterTheFirstDot) {
    const struct {
        const char* name;
        const char* extension;
    } cases[] = {
        {"archivio.tar.gz", "TAR.GZ"},
        {".profile", "PROFILE"},
        {"fine.", ""},
        {"senza", ""},
        {"Foto.JPG", "JPG"},
        {"a..b", ".B"},
        {"\x8A.\x87x", "\x80X"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(search::ExtensionOf(c.name), c.extension) << c.name;
    }
}

TEST(ResultRow, FieldsJoinedByTabsWithTheRealNameWhereLowerCasingChangedIt) {
    const struct {
        const char* name;
        const char* row;
        const char* file_name;
    } cases[] = {
        {"Foto.JPG",
         "foto.jpg\tJPG\tC:\\Dati\\\t     1,234\t08/12/2026  14:05\t0202612081405\tFoto.JPG",
         "Foto.JPG"},
        {"big.iso", "big.iso\tISO\tC:\\Dati\\\t     1,234\t08/12/2026  14:05\t0202612081405",
         "big.iso"},
        // 0x80 is the euro sign in code page 1252; the Case rule makes it 0x87, a double dagger.
        {"Prezzi \x80.xls",
         "prezzi \x87.xls\tXLS\tC:\\Dati\\\t     1,234\t08/12/2026  14:05\t0202612081405\tPrezzi "
         "\x80.xls",
         "Prezzi \x80.xls"},
        {"\x99\x9A\xA5",
         "\x94\x81\xA4\t\tC:\\Dati\\\t     1,234\t08/12/2026  14:05\t0202612081405\t\x99\x9A\xA5",
         "\x99\x9A\xA5"},
    };
    for (const auto& c : cases) {
        const std::string row =
            search::MakeRow(c.name, "C:\\Dati\\", 1234, "08/12/2026  14:05", "0202612081405");
        EXPECT_EQ(row, c.row) << c.name;
        EXPECT_EQ(search::FileName(row), c.file_name) << c.name;
    }
    EXPECT_EQ(search::MakeRow("LEGGIMI", "Z:\\x\\", 0, "  ", ""),
              "leggimi\t\tZ:\\x\\\t        0\t  \t\tLEGGIMI");
    EXPECT_EQ(search::MakeRow("big.iso", "D:\\", 4294967296LL, "01/01/2020  00:00", "k"),
              "big.iso\tISO\tD:\\\t4,294,967,296\t01/01/2020  00:00\tk");
}

TEST(ResultRow, FieldsSplitBackAtTabs) {
    const std::string row = search::MakeRow("a b&c.Txt", "C:\\x y\\", 7, "d  t", "k");
    const char* expected[] = {"a b&c.txt", "TXT", "C:\\x y\\", "        7",
                              "d  t",      "k",   "a b&c.Txt", ""};
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(search::RowField(row, k), expected[k - 1]) << k;
    }
    EXPECT_EQ(search::RowField(row, 0), "");
    EXPECT_EQ(search::RowField("", 1), "");
    EXPECT_EQ(search::RowField("only", 1), "only");
    EXPECT_EQ(search::RowField("a\t\tc", 2), "");
    EXPECT_EQ(search::RowField("a\t\tc", 3), "c");
}

}  // namespace

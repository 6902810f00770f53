#include "results/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "search/result_row.h"
#include "tests/host/code_pages.h"
#include "tests/host/sort_support.h"

namespace {

using results::CompareKeys;
using results::SortKey;
using results::SortRows;
using sorttest::AdversaryKeys;
using sorttest::Padded;
using sorttest::PlainQuickSort;

std::string Blanks(size_t n) {
    return std::string(n, ' ');
}

std::string Row(const std::string& name,
                const std::string& extension,
                const std::string& directory,
                const std::string& size,
                const std::string& date) {
    return name + "\t" + extension + "\t" + directory + "\t" + size + "\t" + date + "\t" +
           sorttest::ItalianDateKey(date);
}

std::vector<std::string> PlainSortRows(std::vector<std::string> rows, int k, bool descending) {
    std::vector<std::string> keys = results::BuildKeys(rows, k);
    if (rows.size() > 1) {
        PlainQuickSort(keys, rows, 0, static_cast<std::ptrdiff_t>(rows.size()) - 1,
                       [descending](const std::string& x, const std::string& y) {
                           const int order = CompareKeys(x, y);
                           return descending ? order > 0 : order < 0;
                       });
    }
    return rows;
}

// ---------------------------------------------------------------------------------------------
// Keys

TEST(SortKey, NameAndDirectoryAreTheFieldsThemselves) {
    const std::string row = Row("foto.jpg", "JPG", "C:\\Dati\\", "     1,234", "08/12/2026  14:05");
    EXPECT_EQ(SortKey(row, 1), "foto.jpg");
    EXPECT_EQ(SortKey(row, 3), "C:\\Dati\\");
    EXPECT_EQ(SortKey(" a b \t\t x\\ ", 1), " a b ");
    EXPECT_EQ(SortKey(" a b \t\t x\\ ", 3), " x\\ ");
}

TEST(SortKey, ExtensionKeyIsTheNameAfterItsFirstDotThenTheName) {
    const struct {
        const char* name;
        const char* extension;  // the row's own extension field, which the key ignores
        const char* key;
    } cases[] = {
        {"archivio.tar.gz", "TAR.GZ", "tar.gz.archivio.tar.gz"},
        {"foto.jpg", "JPG", "jpg.foto.jpg"},
        {"leggimi", "", ".leggimi"},
        {".profile", "PROFILE", "profile..profile"},
        {"fine.", "", ".fine."},
        {"a..b", ".B", ".b.a..b"},
        {"x.y", "ZZZ", "y.x.y"},
        {"", "", "."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SortKey(Row(c.name, c.extension, "C:\\", "        1", "01/01/2000  00:00"), 2),
                  c.key)
            << c.name;
    }
    EXPECT_EQ(SortKey("solo", 2), ".solo");
    EXPECT_EQ(SortKey("", 2), ".");
}

TEST(SortKey, SizeKeyIsTheSizeTextRightAlignedIn26) {
    const struct {
        int64_t size;
        size_t blanks;
        const char* digits;
    } cases[] = {
        {0, 25, "0"},
        {7, 25, "7"},
        {999, 23, "999"},
        {1234, 21, "1,234"},
        {1234567, 17, "1,234,567"},
        {999999999, 15, "999,999,999"},
        {1000000000, 13, "1,000,000,000"},
        {4294967296LL, 13, "4,294,967,296"},
        {12345678901LL, 12, "12,345,678,901"},
        {999999999999999999LL, 3, "999,999,999,999,999,999"},
        {-1234, 20, "-1,234"},
    };
    for (const auto& c : cases) {
        const std::string row = search::MakeRow("f.dat", "C:\\", c.size, "01/01/2000  00:00", "");
        EXPECT_EQ(SortKey(row, 4), Blanks(c.blanks) + c.digits) << c.size;
    }
    // Whatever the field holds, it is padded to the same width and kept otherwise.
    EXPECT_EQ(SortKey("a\tb\tc\t\td", 4), Blanks(26));
    EXPECT_EQ(SortKey("solo", 4), Blanks(26));
    EXPECT_EQ(SortKey("a\tb\tc\t x \td", 4), Blanks(23) + " x ");
    EXPECT_EQ(SortKey("a\tb\tc\t" + std::string(26, '9'), 4), std::string(26, '9'));
    EXPECT_EQ(SortKey("a\tb\tc\t" + std::string(30, '9'), 4), std::string(30, '9'));
}

TEST(SortKey, DateKeyIsTheTimeKeptBesideTheRowWhateverTheTextSays) {
    const struct {
        int year, month, day, hour, minute;
        std::string key;
    } cases[] = {
        {2026, 12, 9, 14, 5, "0202612091405"},    {1601, 1, 1, 0, 0, "0160101010000"},
        {9999, 12, 31, 23, 59, "0999912312359"},  {10000, 1, 1, 0, 0, "1000001010000"},
        {30827, 12, 31, 23, 59, "3082712312359"},
    };
    for (const auto& c : cases) {
        const std::string key = search::DateKey(c.year, c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(key, c.key);
        // The date text plays no part: month-first, year-first or none at all.
        for (const char* date : {"12/9/2026  14:05", "2026-12-09  14:05", "  "}) {
            EXPECT_EQ(SortKey(search::MakeRow("n", "C:\\", 1, date, key), 5), c.key) << date;
        }
    }
    // Years past 9999 after 9999; a time the text could not show before every other.
    EXPECT_LT(CompareKeys(cases[2].key, cases[3].key), 0);
    EXPECT_LT(CompareKeys("", cases[1].key), 0);
    EXPECT_EQ(SortKey("solo", 5), "");
}

TEST(SortKey, OtherColumnsHaveNoKey) {
    const std::string row = Row("n.x", "X", "C:\\", "        1", "08/12/2026  14:05");
    EXPECT_EQ(SortKey(row, 0), "");
    EXPECT_EQ(SortKey(row, 6), "");
    EXPECT_EQ(SortKey(row, -1), "");
}

// ---------------------------------------------------------------------------------------------
// Comparison

TEST(CompareKeys, OnlyAsciiLettersFoldAndBytesAreUnsigned) {
    const struct {
        std::string a;
        std::string b;
        int order;  // sign of CompareKeys(a, b)
    } cases[] = {
        {"C:\\Dati\\", "c:\\dati\\", 0},
        {"c:\\datia\\", "c:\\dati\\", -1},
        {"c:\\dati\\", "c:\\dati_x\\", -1},
        {"A", "b", -1},
        {"b", "A", 1},
        {"abc", "ABC", 0},
        {"az", "AZ", 0},
        {"Z", "[", -1},   // 90 before 91
        {"z", "[", -1},   // z counts as 90
        {"z", "\\", -1},  // backslash 92
        {"z", "_", -1},   // underscore 95
        {"a", "`", -1},   // the grave accent 96 is not folded
        {"z", "{", -1},   // 123 is not folded either
        {"[", "{", -1},   // nor are the bytes next to the small letters
        {"^", "~", -1},
        {"@", "`", -1},
        {"@", "a", -1},  // 64 before 65
        {" ", "0", -1},  // blank before digits
        {"9", "A", -1},  // digits before letters
        {".", "0", -1},
        {"\xC9", "\xE9", -1},  // accented capital and small letter stay different
        {"\xE9", "\xC9", 1},
        {"\xE9", "\xE9", 0},
        {"z", "\x80", -1},  // bytes above 127 count as unsigned
        {"\x7F", "\x80", -1},
        {"\xFF", "\xFE", 1},
        {"abc", "abcd", -1},  // a prefix is smaller
        {"ABC", "abcd", -1},
        {"", "a", -1},
        {"", " ", -1},
        {"", "", 0},
        {std::string("a\0b", 3), std::string("a\0c", 3), -1},  // NUL is a byte like the others
        {std::string("a\0", 2), "a", 1},
        {"b", "abcdef", 1},  // the first difference decides, not the length
    };
    for (const auto& c : cases) {
        const int forward = CompareKeys(c.a, c.b);
        const int backward = CompareKeys(c.b, c.a);
        EXPECT_EQ((forward > 0) - (forward < 0), c.order) << "\"" << c.a << "\" \"" << c.b << "\"";
        EXPECT_EQ((backward > 0) - (backward < 0), -c.order)
            << "\"" << c.b << "\" \"" << c.a << "\"";
    }
}

TEST(CompareKeys, UnderADoubleBytePageSecondBytesAreNoLetters) {
    const format::CodePage page = testpages::Page(932);
    const struct {
        std::string a;
        std::string b;
        int order;
    } cases[] = {
        {"\x83\x41", "\x83\x61", -1},   // katakana a before di: their second bytes read A and a
        {"\x83\x41x", "\x83\x41X", 0},  // the letter after them folds
        {"a\x83", "A\x83", 0},          // a lone lead byte at the end
        {"\x83\x41", "\x83", 1},
    };
    for (const auto& c : cases) {
        const int forward = CompareKeys(c.a, c.b, page);
        const int backward = CompareKeys(c.b, c.a, page);
        EXPECT_EQ((forward > 0) - (forward < 0), c.order) << c.a;
        EXPECT_EQ((backward > 0) - (backward < 0), -c.order) << c.a;
    }
}

// ---------------------------------------------------------------------------------------------
// Sorting

// Rows named r1, r2, ... whose keys for `column` are the given texts.
std::vector<std::string> RowsWithKeys(int column, const std::vector<std::string>& keys) {
    std::vector<std::string> rows;
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string tag = "r" + std::to_string(i + 1);
        if (column == 1) {
            rows.push_back(Row(keys[i], tag, "C:\\", "        1", "01/01/2000  00:00"));
        } else {
            rows.push_back(Row(tag, "", keys[i], "        1", "01/01/2000  00:00"));
        }
    }
    return rows;
}

// The tags of rows made by RowsWithKeys, in their present order.
std::string Tags(const std::vector<std::string>& rows) {
    std::string tags;
    for (const std::string& row : rows) {
        std::string tag = search::RowField(row, 1);
        if (tag[0] != 'r') {
            tag = search::RowField(row, 2);
        }
        tags += (tags.empty() ? "" : ",") + tag.substr(1);
    }
    return tags;
}

TEST(SortRows, EqualKeysEndInThePartitionOrder) {
    const struct {
        std::vector<std::string> keys;
        bool descending;
        const char* order;
    } cases[] = {
        {{"C:\\Dati\\", "C:\\Dati\\"}, false, "2,1"},
        {{"C:\\Dati\\", "C:\\Dati\\"}, true, "2,1"},
        {{"C:\\Dati\\", "c:\\dati\\"}, false, "2,1"},  // equal once folded
        {{"x", "x", "x"}, false, "3,2,1"},
        {{"x", "x", "x"}, true, "3,2,1"},
        {{"x", "x", "x", "x"}, false, "3,4,1,2"},
        {{"x", "x", "x", "x"}, true, "3,4,1,2"},
        {{"B", "A", "B", "A"}, false, "4,2,1,3"},
        {{"B", "A", "B", "A"}, true, "3,1,4,2"},
        {{"x"}, false, "1"},
        {{"b", "a"}, false, "2,1"},
        {{"b", "a"}, true, "1,2"},
        {{"a", "b", "c"}, true, "3,2,1"},
        {{"a", "b", "c"}, false, "1,2,3"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> rows = RowsWithKeys(3, c.keys);
        SortRows(rows, 3, c.descending);
        EXPECT_EQ(Tags(rows), c.order) << c.keys.size() << (c.descending ? " descending" : "");
    }
    std::vector<std::string> none;
    SortRows(none, 3, false);
    EXPECT_TRUE(none.empty());
}

TEST(SortRows, EveryColumnSortsByItsOwnKey) {
    const std::vector<std::string> rows = {
        Row("foto.jpg", "JPG", "c:\\dati\\", "     1,234", "08/12/2026  14:05"),
        Row("archivio.tar.gz", "TAR.GZ", "C:\\Dati_x\\", "        7", "08/12/2026  09:59"),
        Row("leggimi", "", "c:\\datia\\", "1,000,000,000", "01/01/2025  23:00"),
        Row("Zeta.TXT", "TXT", "C:\\", "999,999,999", "08/12/2026  10:00"),
        Row("1.doc", "DOC", "c:\\dati\\b\\", "        0", "31/12/2025  10:00"),
    };
    const struct {
        int k;
        const char* ascending;  // the names in ascending order
    } cases[] = {
        {1, "1.doc archivio.tar.gz foto.jpg leggimi Zeta.TXT "},
        {2, "leggimi 1.doc foto.jpg archivio.tar.gz Zeta.TXT "},
        {3, "Zeta.TXT leggimi foto.jpg 1.doc archivio.tar.gz "},
        {4, "1.doc archivio.tar.gz foto.jpg Zeta.TXT leggimi "},
        {5, "leggimi 1.doc archivio.tar.gz Zeta.TXT foto.jpg "},
    };
    for (const auto& c : cases) {
        for (bool descending : {false, true}) {
            std::vector<std::string> sorted = rows;
            SortRows(sorted, c.k, descending);
            std::string names;
            for (const std::string& row : sorted) {
                names += search::RowField(row, 1) + " ";
            }
            std::string expected = c.ascending;
            if (descending) {
                std::vector<std::string> words;
                for (size_t at = 0; at < expected.size();) {
                    const size_t blank = expected.find(' ', at);
                    words.insert(words.begin(), expected.substr(at, blank - at + 1));
                    at = blank + 1;
                }
                expected.clear();
                for (const std::string& w : words) {
                    expected += w;
                }
            }
            EXPECT_EQ(names, expected) << c.k << (descending ? " descending" : " ascending");
        }
    }
}

TEST(SortRows, OtherColumnsLeaveTheRowsAlone) {
    for (int k : {0, 6, -1}) {
        std::vector<std::string> rows = RowsWithKeys(3, {"x", "x", "a", "b"});
        SortRows(rows, k, false);
        EXPECT_EQ(Tags(rows), "1,2,3,4") << k;
    }
}

// The number a size text stands for: its digits, without blanks and commas.
int64_t SizeOf(const std::string& text) {
    int64_t value = 0;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            value = value * 10 + (ch - '0');
        }
    }
    return value;
}

TEST(SortRows, SizesSortBySizeAcrossTenDigits) {
    const int64_t sizes[] = {
        1000000000,
        999999999,
        0,
        4294967296LL,
        7,
        12345678901LL,
        1234,
        1000000000,
        123456789012345678LL,
        999,
        100000000,
        9999999999LL,
        10000000000LL,
        999999999999LL,
        1234567,
        1,
        1234,
        99999999999LL,
        1000000000000000000LL,
        999999999999999999LL,
    };
    std::vector<std::string> rows;
    for (int64_t size : sizes) {
        rows.push_back(search::MakeRow("f.dat", "C:\\", size, "01/01/2000  00:00", ""));
    }
    std::vector<int64_t> ascending(std::begin(sizes), std::end(sizes));
    std::sort(ascending.begin(), ascending.end());
    for (bool descending : {false, true}) {
        std::vector<std::string> sorted = rows;
        SortRows(sorted, 4, descending);
        std::vector<int64_t> got;
        for (const std::string& row : sorted) {
            got.push_back(SizeOf(search::RowField(row, 4)));
        }
        std::vector<int64_t> want = ascending;
        if (descending) {
            std::reverse(want.begin(), want.end());
        }
        EXPECT_EQ(got, want) << (descending ? "descending" : "ascending");
    }

    std::vector<std::string> pair = {
        search::MakeRow("giga.dat", "C:\\", 1000000000, "01/01/2000  00:00", ""),
        search::MakeRow("quasi.dat", "C:\\", 999999999, "01/01/2000  00:00", ""),
    };
    SortRows(pair, 4, false);
    EXPECT_EQ(search::RowField(pair[0], 1), "quasi.dat");
    EXPECT_EQ(search::RowField(pair[1], 1), "giga.dat");
}

TEST(SortRows, SizesBelowTenDigitsKeepTheOrderOfTheirTexts) {
    // Padding must not change how two size texts of up to nine digits compare, nor make
    // different texts equal or equal ones different.
    std::mt19937 random(20260808);
    std::vector<int64_t> sizes = {0,    1,    9,     10,     99,      100,      999,
                                  1000, 9999, 10000, 999999, 1000000, 999999999};
    for (int i = 0; i < 400; ++i) {
        const int digits = static_cast<int>(random() % 9) + 1;
        sizes.push_back(
            static_cast<int64_t>(random() % static_cast<uint32_t>(std::pow(10, digits))));
    }
    for (int64_t a : sizes) {
        for (int64_t b : {sizes[static_cast<size_t>(a % 13)], a, a + 1, a / 10}) {
            if (b >= 1000000000) {
                continue;
            }
            const std::string ra = search::MakeRow("a", "C:\\", a, "", "");
            const std::string rb = search::MakeRow("b", "C:\\", b, "", "");
            const int text = CompareKeys(search::RowField(ra, 4), search::RowField(rb, 4));
            const int key = CompareKeys(SortKey(ra, 4), SortKey(rb, 4));
            EXPECT_EQ((text > 0) - (text < 0), (key > 0) - (key < 0)) << a << " " << b;
            EXPECT_EQ((key > 0) - (key < 0), (a > b) - (a < b)) << a << " " << b;
        }
    }
}

TEST(SortRows, EqualSizesTieAsEqualTexts) {
    // Keys B, A, B, A, all past ten digits.
    const int64_t sizes[] = {1000000001, 1000000000, 1000000001, 1000000000};
    for (bool descending : {false, true}) {
        std::vector<std::string> rows;
        for (size_t i = 0; i < 4; ++i) {
            rows.push_back(search::MakeRow("r" + std::to_string(i + 1), "C:\\", sizes[i], "", ""));
        }
        SortRows(rows, 4, descending);
        EXPECT_EQ(Tags(rows), descending ? "3,1,4,2" : "4,2,1,3");
    }
}

// Rows drawn from small pools, so that every column has many equal keys, with some letters in
// both cases and some bytes above 127.
std::vector<std::string> RandomRows(std::mt19937& random, size_t n) {
    const char* names[] = {"a.txt",    "A.TXT",    "b",     "foto.jpg",      "Foto.Jpg",
                           "x.tar.gz", ".profile", "fine.", "\xE9t\xE9.doc", "\xC9T\xC9.doc",
                           "z_1.c",    "z1.c",     "zz"};
    const char* folders[] = {"C:\\",         "c:\\dati\\", "C:\\Dati\\",  "c:\\datia\\",
                             "c:\\dati_x\\", "D:\\a b\\",  "d:\\A B\\c\\"};
    const int64_t sizes[] = {0, 7, 999, 1234, 999999999, 1000000000, 4294967296LL};
    const char* dates[] = {"08/12/2026  14:05",
                           "08/12/2026  09:59",
                           "08/12/2026  10:00",
                           "01/01/1999  00:00",
                           "31/12/2025  23:59",
                           "",
                           "08/12"};
    std::vector<std::string> rows;
    for (size_t i = 0; i < n; ++i) {
        const std::string name = names[random() % std::size(names)];
        const std::string date = dates[random() % std::size(dates)];
        rows.push_back(search::MakeRow(name, folders[random() % std::size(folders)],
                                       sizes[random() % std::size(sizes)], date,
                                       sorttest::ItalianDateKey(date)));
        if (random() % 4 == 0) {
            rows.back() += "\t#" + std::to_string(i);  // tells rows with equal fields apart
        }
        if (random() % 50 == 0) {
            rows.back() = name;  // a row with one field only
        }
    }
    return rows;
}

TEST(SortRows, RandomRowsEndSortedAndNoneIsLost) {
    std::mt19937 random(31);
    for (size_t n : {2, 3, 5, 17, 64, 1000, 5000}) {
        const std::vector<std::string> rows = RandomRows(random, n);
        std::vector<std::string> all = rows;
        std::sort(all.begin(), all.end());
        for (int k = 1; k <= 5; ++k) {
            for (bool descending : {false, true}) {
                std::vector<std::string> sorted = rows;
                SortRows(sorted, k, descending);
                for (size_t i = 1; i < sorted.size(); ++i) {
                    const int order = CompareKeys(SortKey(sorted[i - 1], k), SortKey(sorted[i], k));
                    ASSERT_TRUE(descending ? order >= 0 : order <= 0)
                        << "n " << n << " column " << k << " at " << i;
                }
                std::vector<std::string> same = sorted;
                std::sort(same.begin(), same.end());
                EXPECT_EQ(same, all) << "n " << n << " column " << k;
                // Equal keys end exactly where the plain recursion puts them.
                EXPECT_EQ(sorted, PlainSortRows(rows, k, descending))
                    << "n " << n << " column " << k << (descending ? " descending" : "");
            }
        }
    }
}

TEST(SortRows, ManyEqualKeysEndInThePlainOrder) {
    for (size_t n : {5, 6, 7, 8, 9, 31, 32, 33, 1000, 4097}) {
        std::vector<std::string> rows;
        for (size_t i = 0; i < n; ++i) {
            rows.push_back("r" + std::to_string(i) + "\t\tC:\\Dati\\");
        }
        for (bool descending : {false, true}) {
            std::vector<std::string> sorted = rows;
            SortRows(sorted, 3, descending);
            EXPECT_EQ(sorted, PlainSortRows(rows, 3, descending)) << n;
        }
    }
}

TEST(SortKeysAndRows, NestingStaysLogarithmicOnEveryShape) {
    const size_t n = 3000;
    const size_t rerun = 200;
    std::vector<std::string> sorted_keys;
    std::vector<std::string> twice;
    std::vector<std::string> organ;
    std::vector<std::string> tail_again;
    for (size_t i = 0; i < n; ++i) {
        sorted_keys.push_back(Padded(i));
        twice.push_back(Padded(i % (n / 2)));
        organ.push_back(Padded(std::min(i, n - 1 - i)));
        tail_again.push_back(Padded(i < n - rerun ? i : i - (n - rerun)));
    }
    const struct {
        const char* shape;
        std::vector<std::string> keys;
        int min_plain_depth;  // how deep the plain recursion goes ascending: the shape's strain
        // Ascending, descending: the quicksort runs over its budget and the merge sort finishes.
        bool merged[2];
    } cases[] = {
        {"sorted", sorted_keys, 1, {false, false}},
        {"reversed",
         std::vector<std::string>(sorted_keys.rbegin(), sorted_keys.rend()),
         1,
         {false, false}},
        {"equal", std::vector<std::string>(n, "C:\\Dati\\"), 1, {false, false}},
        // A sorted run, then its first 200 keys again: deep, yet within the budget.
        {"sorted, 200 again", tail_again, static_cast<int>(rerun), {false, false}},
        {"sorted twice", twice, 0, {true, true}},
        {"organ pipe", organ, 0, {true, true}},
        // Built against the ascending sort; descending, its keys are no strain.
        {"adversary", AdversaryKeys(n), 0, {true, false}},
    };
    const int bound = static_cast<int>(std::log2(static_cast<double>(n))) + 1;
    for (const auto& c : cases) {
        for (bool descending : {false, true}) {
            // Each row carries its key and where it started, so that ties show their order.
            std::vector<std::string> rows;
            for (size_t i = 0; i < n; ++i) {
                rows.push_back(c.keys[i] + "#" + std::to_string(i));
            }
            std::vector<std::string> plain_keys = c.keys;
            std::vector<std::string> plain_rows = rows;
            PlainQuickSort(plain_keys, plain_rows, 0, static_cast<std::ptrdiff_t>(n) - 1,
                           [descending](const std::string& x, const std::string& y) {
                               const int order = CompareKeys(x, y);
                               return descending ? order > 0 : order < 0;
                           });

            const std::vector<std::string> unsorted_rows = rows;
            std::vector<std::string> keys = c.keys;
            const sorttest::SortStats stats = sorttest::SortWithStats(keys, rows, descending);
            const bool merged = c.merged[descending ? 1 : 0];
            EXPECT_EQ(stats.merged, merged) << c.shape << (descending ? " descending" : "");
            EXPECT_LE(stats.depth, bound) << c.shape;
            if (!descending) {
                EXPECT_GE(stats.plain_depth, c.min_plain_depth) << c.shape;
            }
            std::vector<std::string> want = c.keys;
            std::sort(want.begin(), want.end());
            if (descending) {
                std::reverse(want.begin(), want.end());
            }
            EXPECT_EQ(keys, want) << c.shape;
            if (!merged) {
                EXPECT_EQ(rows, plain_rows) << c.shape;
                continue;
            }
            // Each row went with its key, none was lost or repeated, and the same keys in the
            // same order end the same way again.
            for (size_t i = 0; i < n; ++i) {
                ASSERT_EQ(rows[i].substr(0, rows[i].find('#')), keys[i]) << c.shape << " " << i;
            }
            std::vector<std::string> same = rows;
            std::vector<std::string> all = unsorted_rows;
            std::sort(same.begin(), same.end());
            std::sort(all.begin(), all.end());
            EXPECT_EQ(same, all) << c.shape;
            std::vector<std::string> again_keys = c.keys;
            std::vector<std::string> again_rows = unsorted_rows;
            results::SortKeysAndRows(again_keys, again_rows, descending);
            EXPECT_EQ(again_rows, rows) << c.shape;
        }
    }
}

TEST(SortKeysAndRows, ArraysOfDifferentLengthsAreLeftAlone) {
    std::vector<std::string> keys = {"b", "a"};
    std::vector<std::string> rows = {"1", "2", "3"};
    results::SortKeysAndRows(keys, rows, false);
    EXPECT_EQ(keys, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(rows, (std::vector<std::string>{"1", "2", "3"}));
}

}  // namespace

// Measures the column sort against std::sort of the same keys, how deep the sort nests on
// various shapes of keys, the sorts that sequences of searches and heading clicks really ask
// for, and what one cell-text request costs with few and with many rows.
// Usage: sort_bench   (no arguments; prints its figures; lines that begin "summary" feed the
// table that scripts/bench prints at its end)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "results/cell_text.h"
#include "results/sort.h"
#include "search/result_row.h"
#include "tests/host/sort_support.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const char* const kSanitizers = "on (figures inflated)";
#else
const char* const kSanitizers = "off";
#endif

const size_t kRows = 100000;
const int kRepeats = 3;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

unsigned Below(std::mt19937& random, unsigned n) {
    return static_cast<unsigned>(random() % n);
}

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& pool) {
    return pool[random() % pool.size()];
}

std::string TwoDigits(unsigned v) {
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

// Rows as a search over a few disks would find them: a few hundred folders, common names and
// extensions, sizes from empty to tens of gigabytes, dates over thirty years with many files
// saved in the same minute.
std::vector<std::string> MakeRows(size_t n) {
    std::mt19937 random(1977);
    const std::vector<std::string> tops = {"Dati",   "Documenti", "Progetti", "Foto",
                                           "Musica", "Lavoro",    "Archivio", "Backup"};
    const std::vector<std::string> subs = {"2019",   "2020",    "2021",      "2022",  "2023",
                                           "2024",   "2025",    "2026",      "src",   "doc",
                                           "vecchi", "clienti", "bozze",     "Roma",  "Milano",
                                           "estate", "inverno", "scansioni", "varie", "tmp"};
    std::vector<std::string> folders;
    while (folders.size() < 300) {
        std::string folder = Below(random, 4) == 0 ? "D:\\" : "C:\\";
        folder += Pick(random, tops) + "\\";
        const unsigned levels = Below(random, 3);
        for (unsigned i = 0; i < levels; ++i) {
            folder += Pick(random, subs) + "\\";
        }
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    const std::vector<std::string> stems = {
        "relazione", "Fattura",   "foto",     "IMG",     "DSC",      "lettera", "preventivo",
        "contratto", "verbale",   "bilancio", "appunti", "LEGGIMI",  "main",    "utils",
        "report",    "scansione", "video",    "canzone", "progetto", "nota",    "Copia di foto"};
    const std::vector<std::string> extensions = {
        ".jpg", ".jpg", ".jpg", ".JPG", ".pdf", ".pdf", ".doc",    ".docx",   ".txt",
        ".txt", ".xls", ".mp3", ".mp3", ".c",   ".h",   ".cpp",    ".tar.gz", ".zip",
        ".png", ".exe", ".dll", ".ini", "",     ".bak", ".old.txt"};
    std::vector<std::string> times;
    for (int i = 0; i < 5000; ++i) {
        const unsigned year = 1996 + Below(random, 31);
        times.push_back(TwoDigits(1 + Below(random, 28)) + "/" + TwoDigits(1 + Below(random, 12)) +
                        "/" + std::to_string(year) + "  " + TwoDigits(Below(random, 24)) + ":" +
                        TwoDigits(Below(random, 60)));
    }
    std::vector<std::string> rows;
    rows.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        std::string name = Pick(random, stems);
        if (Below(random, 3) != 0) {
            name += (Below(random, 2) ? "_" : " ") + std::to_string(Below(random, 2000));
        }
        name += Pick(random, extensions);
        int64_t size = 0;
        const unsigned kind = Below(random, 20);
        if (kind == 1) {
            size = 4096;
        } else if (kind > 1) {
            const double exponent = std::uniform_real_distribution<double>(0.0, 10.5)(random);
            size = static_cast<int64_t>(std::pow(10.0, exponent));
        }
        const std::string& date = Pick(random, times);
        rows.push_back(search::MakeRow(name, Pick(random, folders), size, date,
                                       sorttest::ItalianDateKey(date)));
    }
    return rows;
}

// The best of a few runs of what `run` times (it returns seconds).
template <typename Run>
double Best(Run run) {
    double best = 1e30;
    for (int i = 0; i < kRepeats; ++i) {
        best = std::min(best, run());
    }
    return best;
}

void SortTable(const std::vector<std::string>& rows) {
    const char* names[] = {"", "Nome", "Estensione", "Directory", "Grandezza", "Data"};
    std::printf("\n%-11s %-5s %9s %10s %11s %11s %8s %8s %6s %7s\n", "column", "dir", "keys ms",
                "qsort ms", "SortRows ms", "std::sort ms", "rows/std", "qs/std", "depth", "plain");
    for (int k = 1; k <= 5; ++k) {
        for (bool descending : {false, true}) {
            const double sort_rows = Best([&] {
                std::vector<std::string> copy = rows;
                const double start = Now();
                results::SortRows(copy, k, descending);
                return Now() - start;
            });
            const double keys_time = Best([&] {
                const double start = Now();
                const std::vector<std::string> keys = results::BuildKeys(rows, k);
                return Now() - start;
            });
            sorttest::SortStats stats;
            const double quick = Best([&] {
                std::vector<std::string> copy = rows;
                std::vector<std::string> keys = results::BuildKeys(copy, k);
                const double start = Now();
                stats = sorttest::SortWithStats(keys, copy, descending);
                return Now() - start;
            });
            const std::vector<std::string> keys = results::BuildKeys(rows, k);
            const double standard = Best([&] {
                std::vector<std::string> copy = keys;
                const double start = Now();
                std::sort(copy.begin(), copy.end(),
                          [descending](const std::string& a, const std::string& b) {
                              const int order = results::CompareKeys(a, b);
                              return descending ? order > 0 : order < 0;
                          });
                return Now() - start;
            });
            std::printf("%-11s %-5s %9.2f %10.2f %11.2f %11.2f %8.2f %8.2f %6d %7d\n", names[k],
                        descending ? "desc" : "asc", keys_time * 1e3, quick * 1e3, sort_rows * 1e3,
                        standard * 1e3, sort_rows / standard, quick / standard, stats.depth,
                        stats.plain_depth);
        }
    }
}

// Folder texts in the order a walk meets them, one per file: depth first, each folder's
// subfolders in name order, as NTFS lists them.
void WalkOrder(const std::string& folder,
               int level,
               std::mt19937& random,
               std::vector<std::string>* out,
               size_t n) {
    const unsigned files = Below(random, 40);
    for (unsigned i = 0; i < files && out->size() < n; ++i) {
        out->push_back(folder);
    }
    if (level == 4) {
        return;
    }
    const std::vector<std::string> names = {"bozze", "clienti", "doc", "estate",
                                            "Foto",  "Roma",    "src", "varie"};
    for (const std::string& name : names) {
        if (out->size() < n && Below(random, 3) != 0) {
            WalkOrder(folder + name + "\\", level + 1, random, out, n);
        }
    }
}

void DepthTable(const std::vector<std::string>& rows) {
    struct Shape {
        const char* name;
        std::vector<std::string> keys;
    };
    // Shapes on which the quicksort alone would take time that grows with n * n get fewer rows.
    const size_t slow_rows = 20000;
    std::vector<Shape> shapes;
    std::vector<std::string> sorted;
    for (size_t i = 0; i < kRows; ++i) {
        sorted.push_back(sorttest::Padded(i));
    }
    shapes.push_back({"sorted", sorted});
    shapes.push_back({"Directory keys", results::BuildKeys(rows, 3)});
    shapes.push_back({"reversed", std::vector<std::string>(sorted.rbegin(), sorted.rend())});
    shapes.push_back({"all equal", std::vector<std::string>(kRows, "C:\\Dati\\")});
    std::vector<std::string> alternate;
    for (size_t i = 0; i < kRows; ++i) {
        alternate.push_back(i % 2 ? "B" : "A");
    }
    shapes.push_back({"A,B,A,B...", alternate});
    std::vector<std::string> two_runs;
    for (size_t i = 0; i < slow_rows; ++i) {
        two_runs.push_back(sorttest::Padded(i % (slow_rows / 2)));
    }
    shapes.push_back({"sorted twice", two_runs});
    std::mt19937 random(8);
    std::vector<std::string> walk;
    while (walk.size() < slow_rows / 2) {
        WalkOrder("C:\\Dati\\", 0, random, &walk, slow_rows / 2);
    }
    std::vector<std::string> walk_twice = walk;
    walk_twice.insert(walk_twice.end(), walk.begin(), walk.end());
    shapes.push_back({"walk twice, Dir", walk_twice});
    std::vector<std::string> organ;
    for (size_t i = 0; i < slow_rows; ++i) {
        organ.push_back(sorttest::Padded(std::min(i, slow_rows - 1 - i)));
    }
    shapes.push_back({"organ pipe", organ});
    shapes.push_back({"adversary", sorttest::AdversaryKeys(slow_rows)});

    std::printf("\n%-16s %7s %9s %6s %7s %9s %7s\n", "keys, ascending", "n", "sort ms", "depth",
                "plain", "plain KiB", "merged");
    double per_level = 0.0;
    for (Shape& shape : shapes) {
        std::vector<std::string> keys = shape.keys;
        std::vector<std::string> copy = keys;
        const double start = Now();
        const sorttest::SortStats stats = sorttest::SortWithStats(keys, copy, false);
        const double elapsed = Now() - start;
        if (per_level == 0.0 && stats.depth > 1) {
            // The sorted keys nest log2(n) deep: the stack they use gives the cost of a level.
            per_level = static_cast<double>(stats.stack_bytes) / (stats.depth - 1);
        }
        std::printf("%-16s %7zu %9.1f %6d %7d %9.0f %7s\n", shape.name, shape.keys.size(),
                    elapsed * 1e3, stats.depth, stats.plain_depth,
                    per_level * stats.plain_depth / 1024.0, stats.merged ? "yes" : "no");
    }
    std::printf(
        "depth: nesting of this sort; plain: nesting of the plain recursion (first range, "
        "then second)\nup to where the quicksort stopped, if it ran over its budget "
        "(merged);\nplain KiB: its stack at %.0f bytes a level (measured on this "
        "build); a Win32 thread gets 1024 KiB\nunless its program asks for more (mingw-w64 "
        "programs reserve "
        "2048 KiB for the main thread)\n",
        per_level);
}

// What a search lists in a folder of numbered files (as NTFS gives them, in name order) with
// dates that advance a few files a minute, as a camera's photos have them.
void AddNumberedFiles(const std::string& folder,
                      const std::string& stem,
                      size_t first,
                      size_t count,
                      std::mt19937& random,
                      std::vector<std::string>* rows) {
    unsigned minute = 0;
    for (size_t i = first; i < first + count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%06zu.JPG", stem.c_str(), i);
        if (Below(random, 8) == 0) {
            minute += 1 + Below(random, 90);
        }
        const unsigned hour = minute / 60 % 24;
        const unsigned day = 1 + minute / 1440 % 28;
        const std::string date = TwoDigits(day) + "/" + TwoDigits(1 + minute / 40320 % 12) +
                                 "/2024  " + TwoDigits(hour) + ":" + TwoDigits(minute % 60);
        rows->push_back(search::MakeRow(name, folder, 1000000 + Below(random, 5000000), date,
                                        sorttest::ItalianDateKey(date)));
    }
}

// Sorts that a user's sequence of searches and heading clicks makes. The direction flips with
// every click and survives Reset, so one earlier click anywhere makes the next click ascending.
void SequenceTable() {
    struct Sequence {
        const char* name;
        int column;
        bool descending;
        std::vector<std::string> (*rows)(size_t n);
    };
    // One flat folder of n / 2 files, searched twice.
    const auto flat_twice = [](size_t n) {
        std::mt19937 random(1);
        std::vector<std::string> rows;
        AddNumberedFiles("C:\\Dati\\Flat\\", "f", 1, n / 2, random, &rows);
        const std::vector<std::string> once = rows;
        rows.insert(rows.end(), once.begin(), once.end());
        return rows;
    };
    // A photo folder of eight year folders (the camera numbers on across them) and its backup copy
    // beside it, searched once from their parent.
    const auto with_copy = [](size_t n) {
        std::mt19937 random(2);
        std::vector<std::string> rows;
        for (const char* top : {"C:\\Dati\\Foto\\", "C:\\Dati\\Foto - Copia\\"}) {
            for (size_t year = 0; year < 8; ++year) {
                const size_t per_folder = n / 16;
                AddNumberedFiles(top + std::to_string(2017 + year) + "\\", "IMG_",
                                 1 + year * per_folder, per_folder, random, &rows);
            }
        }
        return rows;
    };
    // One photo folder searched twice.
    const auto photos_twice = [](size_t n) {
        std::mt19937 random(3);
        std::vector<std::string> rows;
        AddNumberedFiles("C:\\Foto\\", "DSC", 1, n / 2, random, &rows);
        const std::vector<std::string> once = rows;
        rows.insert(rows.end(), once.begin(), once.end());
        return rows;
    };
    const Sequence sequences[] = {
        {"flat folder twice, one click before, Nome", 1, false, flat_twice},
        {"folder and its copy, Nome", 1, true, with_copy},
        {"folder and its copy, one click before, Nome", 1, false, with_copy},
        {"photo folder twice, Data", 5, true, photos_twice},
    };
    std::printf("\n%-45s %7s %9s %7s\n", "sequence (SortRows, keys included)", "rows", "sort ms",
                "merged");
    for (const Sequence& sequence : sequences) {
        for (size_t n : {static_cast<size_t>(10000), static_cast<size_t>(50000), kRows}) {
            const std::vector<std::string> rows = sequence.rows(n);
            const double elapsed = Best([&] {
                std::vector<std::string> copy = rows;
                const double start = Now();
                results::SortRows(copy, sequence.column, sequence.descending);
                return Now() - start;
            });
            std::vector<std::string> copy = rows;
            std::vector<std::string> keys = results::BuildKeys(copy, sequence.column);
            const sorttest::SortStats stats =
                sorttest::SortWithStats(keys, copy, sequence.descending);
            std::printf("%-45s %7zu %9.1f %7s\n", sequence.name, n, elapsed * 1e3,
                        stats.merged ? "yes" : "no");
            if (n == kRows) {
                std::printf("summary\tsort: %s, %zu rows\t%.0f ms\tat most 300 ms\n", sequence.name,
                            n, elapsed * 1e3);
            }
        }
    }
}

void CellTable() {
    const std::vector<std::string> all = MakeRows(kRows);
    std::printf("\n%-10s %14s %14s %14s\n", "rows", "buffer ns", "string ns", "in order ns");
    for (size_t n : {static_cast<size_t>(1000), kRows}) {
        const std::vector<std::string> rows(all.begin(), all.begin() + static_cast<long>(n));
        const int requests = 2000000;
        char out[results::kCellTextSize];
        size_t sum = 0;
        // Rows in a scattered order, as a list scrolled about asks for them.
        const double scattered = Best([&] {
            uint32_t r = 1;
            const double start = Now();
            for (int i = 0; i < requests; ++i) {
                r = r * 1664525u + 1013904223u;
                results::StoredCellText(rows, n, static_cast<int>(r % n), i % 5, out);
                sum += static_cast<unsigned char>(out[0]);
            }
            return Now() - start;
        });
        const double as_string = Best([&] {
            uint32_t r = 1;
            const double start = Now();
            for (int i = 0; i < requests; ++i) {
                r = r * 1664525u + 1013904223u;
                sum += results::CellText(rows[r % n], i % 5).size();
            }
            return Now() - start;
        });
        const double in_order = Best([&] {
            const double start = Now();
            for (int i = 0; i < requests; ++i) {
                results::StoredCellText(rows, n, static_cast<int>((static_cast<size_t>(i) / 5) % n),
                                        i % 5, out);
                sum += static_cast<unsigned char>(out[0]);
            }
            return Now() - start;
        });
        std::printf("%-10zu %14.1f %14.1f %14.1f\n", n, scattered / requests * 1e9,
                    as_string / requests * 1e9, in_order / requests * 1e9);
        if (sum == 1) {
            std::printf("\n");  // keeps the loops from being optimised away
        }
    }
}

}  // namespace

int main() {
    std::printf("sort_bench: %zu rows, sanitizers %s, pointer %zu bits, best of %d runs\n", kRows,
                kSanitizers, sizeof(void*) * 8, kRepeats);
    const std::vector<std::string> rows = MakeRows(kRows);
    SortTable(rows);
    DepthTable(rows);
    SequenceTable();
    CellTable();
    return 0;
}

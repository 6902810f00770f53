// Result rows: five TAB-joined fields per found file.

#include "search/result_row.h"

#include <algorithm>
#include <cstdio>

#include "format/code_page.h"
#include "format/mask_format.h"
#include "search/case_rule.h"

namespace search {

std::string ExtensionOf(const std::string& name) {
    const size_t dot = format::FindChar(name, '.');
    return dot == std::string::npos ? std::string() : UpperCase(name.substr(dot + 1));
}

std::string DateKey(int year, int month, int day, int hour, int minute) {
    char key[32];
    std::snprintf(key, sizeof key, "%05d%02d%02d%02d%02d", year, month, day, hour, minute);
    return key;
}

std::string MakeRow(const std::string& name,
                    const std::string& directory,
                    int64_t size,
                    const std::string& date,
                    const std::string& date_key) {
    const std::string lower = LowerCase(name);
    std::string row = lower;
    row += '\t';
    row += ExtensionOf(name);
    row += '\t';
    row += directory;
    row += '\t';
    row += format::MaskFormat(size, "* #######,");
    row += '\t';
    row += date;
    row += '\t';
    row += date_key;
    if (lower != name) {
        row += '\t';
        row += name;
    }
    return row;
}

std::string RowField(const std::string& row, int k) {
    size_t begin = 0;
    for (int i = 1; i < k; ++i) {
        const size_t tab = row.find('\t', begin);
        if (tab == std::string::npos) {
            return std::string();
        }
        begin = tab + 1;
    }
    if (k < 1) {
        return std::string();
    }
    const size_t end = row.find('\t', begin);
    return row.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

void AttachNumber(std::string& row, Field k, size_t number) {
    for (auto tabs = std::count(row.begin(), row.end(), '\t'); tabs < k - 1; ++tabs) {
        row += '\t';
    }
    row += std::to_string(number);
}

bool NumberField(const std::string& row, Field k, size_t* number) {
    const std::string field = RowField(row, k);
    if (field.empty() || field.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    size_t value = 0;
    for (char digit : field) {
        value = value * 10 + static_cast<size_t>(digit - '0');
    }
    *number = value;
    return true;
}

std::string FileName(const std::string& row) {
    std::string name = RowField(row, kFileName);
    return name.empty() ? RowField(row, kName) : name;
}

}  // namespace search

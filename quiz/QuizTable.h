// The fixed quiz material: ten sciences, the ten subjects they study, a comment
// for each pair, and the introduction shown in the output box at start.
//
// Row k pairs science(k) with subject(k); that pair is the one correct answer
// of row k. Nothing adds, removes or reorders rows at run time.
#pragma once

#include <cstdint>
#include <string_view>

namespace quiz {

// A row of the quiz table and a member of each option group: 0 <= row < RowCount.
using RowIndex = std::int16_t;

inline constexpr RowIndex RowCount = 10;

constexpr bool isRow(int row) {
    return row >= 0 && row < RowCount;
}

class QuizTable {
public:
    // The entries as stored, untrimmed. 0 <= row < RowCount; any other row
    // reads as an empty text, so a bad index never reaches past the table.
    static std::u16string_view science(int row); // the science names, alphabetical
    static std::u16string_view subject(int row); // in the order of their sciences
    static std::u16string_view comment(int row); // one blank for every row

    // Five lines, each ended by CR LF, 773 characters in all.
    static std::u16string_view introduction();
};

} // namespace quiz

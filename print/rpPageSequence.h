// The pages a print job walks, from the page-range text of the print
// options ("1,3,5-12").
#pragma once

#include <QString>
#include <optional>
#include <vector>

// 1-based page numbers in the order and with the repetitions of Text.
// Spaces are ignored; an empty text gives nothing (every page prints), a
// text that names no page an empty list (no page prints);
// "5-" runs to PageCount; "3-1" adds nothing. Numbers beyond PageCount stay
// (the job skips them), but a range never runs past PageCount, so a text
// like "1-2000000000" cannot make a list that fills the memory. Anything
// but digits, "-" and "," fails with EConvertError before printing starts.
std::optional<std::vector<int>> rpPageSequence(const QString& Text, int PageCount);

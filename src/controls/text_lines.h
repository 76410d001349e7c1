// Splitting a text into lines the way strtok with the delimiter "\n" does: a run of
// line feeds separates two lines, and leading or trailing line feeds give no line,
// so an empty line never comes out ("a\n\nb" is two lines, "a\n \nb" three).
// Unlike strtok it keeps no hidden state, so two callers cannot disturb each other,
// and it works on the whole text, however long.
#pragma once

#include <vector>

#include "framework/afx_string.h"

// Appends the lines of pszText to lines (nothing for NULL).
void SplitTextLines(const char* pszText, std::vector<CString>& lines);

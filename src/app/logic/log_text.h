// The log box's append rule.
#pragma once

#include <vector>

enum { kLogKeptChars = 511 };  // characters of the old text that take part

// The log box's next text: the message alone when the old text is empty,
// otherwise the old text's first 511 characters, CR LF and the message. A log
// past 511 characters thus keeps its opening and only the newest message.
// The answer is NUL-terminated in a buffer of 511 + 2 + strlen(pszMsg) + 1.
std::vector<char> ComposeLogText(const char* pszOld, const char* pszMsg);

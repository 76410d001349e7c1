// The allow-list file IDString.txt, read as a pure function of its bytes so the
// same reader runs in the program, the host tests and the fuzzer.
//
// Format: one entry per line, up to three double-quoted fields (model, firmware
// file name, confirmation flag) with anything between them. The first line
// that does not begin with a double quote ends the list.
#pragma once

#include <cstddef>
#include <cstdio>

enum {
    kIdMaxEntries = 10,   // entries beyond the tenth are ignored
    kIdModelLen = 24,     // model characters kept (vendor 8 + product 16)
    kIdFileLen = 59,      // file-name characters kept
    kIdLineLimit = 80,    // characters of a line read after its opening quote
};

// Where the reader stores what it reads; the main dialog's own members.
struct ID_STRING_SINK {
    char (*pszModel)[kIdModelLen + 1];   // kIdMaxEntries slots
    char (*pszFile)[kIdFileLen + 1];     // kIdMaxEntries slots
    int* pbConfirm;                      // changed only by lines that carry a flag field
};

// Reads the list from an open file (opened in binary mode: a CR LF pair is
// read as one LF here, so the result does not depend on the C library's text
// mode). Clears all model and file slots first. Answers the number of entries
// read, 0..kIdMaxEntries.
//
// Per line, quotes are numbered from the opening one (1):
//   - characters between quotes 1 and 2 are the model, stored (cut to 24) when
//     quote 3 is read;
//   - characters between quotes 3 and 4 are the file name, stored (cut to 59)
//     when quote 4 is read;
//   - quote 5 clears *pbConfirm; each character after it and before quote 6
//     sets it to 1 for 'Y'/'y' and 0 otherwise; a line that ends before quote
//     6 leaves 0;
//   - everything else is ignored, as is everything past the first 80
//     characters after the opening quote (the line is still read to its end).
// A byte 0xFF reads as the end of the file: at the start of a line it ends
// the list, inside a line it ends that line.
int ReadIdStringList(FILE* fp, const ID_STRING_SINK& sink);

// The same over a block of bytes.
int ParseIdStringList(const unsigned char* pData, size_t cbData, const ID_STRING_SINK& sink);

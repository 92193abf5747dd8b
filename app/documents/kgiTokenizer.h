#pragma once
// The line reader of every text format of the document layer. A line is
// read whole, however long, and split in place into tokens at delimiter
// characters; the token pointers stay valid until the next read or split.
//
// Each reader owns its tokenizer with the delimiter set of its format, so a
// set installed for one format never leaks into the next file read.
// Text is bytes: 0x80-0xFF (code page 932 text) are ordinary characters
// unless listed as delimiters.
#include <cstdio>
#include <string>
#include <vector>

class kgiTokenizer {
public:
    // Blank, tab, colon, line feed, double quote and comma.
    static const char* const DEFAULT_DELIMITERS;
    // The default set plus braces and parentheses: the key lines of a curve
    // file come apart into plain numbers.
    static const char* const CURVE_DELIMITERS;

    kgiTokenizer();
    explicit kgiTokenizer(const char* delimiters);

    // Whether a writer may put `text` on a line as one token that a reader
    // with these delimiters gives back unchanged: not null, not empty, no
    // delimiter, no control byte (a CR or form feed would not survive
    // either).
    static bool isWholeToken(const char* text, const char* delimiters);

    // Every byte of the string becomes a delimiter, every other byte an
    // ordinary character. Returns 0 and changes nothing for a null or empty
    // string, else 1.
    int setDelimiters(const char* delimiters);

    // Bytes listed here open and close a quoted token: everything up to the
    // matching closing byte (or the line end) is one token, blanks and
    // colons included, and "" gives an empty token. Call after
    // setDelimiters, which resets every byte's class. Null or "" disables.
    void setQuotes(const char* quotes);

    // Splits `text` in place (delimiters are overwritten with zeros) and
    // returns the token count; a null text gives 0 tokens.
    int split(char* text);

    // Reads lines until one has a token or the stream ends; returns the
    // token count, 0 at the end of the stream. Empty and delimiter-only
    // lines are skipped, so use readRawLine where an empty line ends a block.
    int readLine(FILE* stream);

    // Reads exactly one line and splits it; 0 for an empty line, a
    // delimiter-only line and the end of the stream. A line ending in CR LF
    // reads like one ending in LF. A null stream gives 0.
    int readRawLine(FILE* stream);

    int getTokenCount() const { return static_cast<int>(tokens.size()); }
    // Token i of the current line, or null out of range.
    const char* getToken(int i) const
    {
        return i >= 0 && i < getTokenCount() ? tokens[static_cast<size_t>(i)] : nullptr;
    }
    // True when token i exists and equals `text`.
    bool tokenIs(int i, const char* text) const;
    // Token i converted like atoi / atof in the C notation; 0 when missing.
    int tokenInt(int i) const;
    float tokenFloat(int i) const;

    // True once a read met the end of the stream (or a read error).
    bool atEnd() const { return ended; }

private:
    enum CharClass : unsigned char { DELIMITER = 1, ORDINARY = 2, END = 3, QUOTE = 4 };

    bool fetchLine(FILE* stream);

    unsigned char classes[256];
    std::string line;
    std::vector<char*> tokens;
    bool ended = false;
};

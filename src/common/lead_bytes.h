// The lead-byte table of the ANSI code page and the character step that the
// path scanners walk with.
#pragma once

// Which byte values start a two-byte character in the system's ANSI code page.
// One process-wide table, filled by static construction from the installed
// platform and read-only afterwards.
class LeadByteTable {
  public:
    // Fills the table from the installed platform.
    LeadByteTable();

    // Asks the platform again: every byte value through IsDBCSLeadByte, the
    // maximum character size through GetCPInfo for the ANSI code page. When
    // the code page information cannot be read, the code page counts as
    // multi-byte exactly when some byte value is a lead byte, so a trail byte
    // is never mistaken for a separator.
    void Fill();

    // 1 when that byte value is a lead byte, else 0.
    unsigned char leadByte[256];
    // 1 when the ANSI code page's maximum character size exceeds 1, else 0.
    unsigned char multiByte;
};

// The process-wide table.
const LeadByteTable& LeadBytes();

// Fills the process-wide table again from the platform installed now.
void RefillLeadBytes();

// The position of the character after the one at `position`: two bytes on for
// a lead byte of a multi-byte code page, one byte otherwise. A lead byte
// directly before the terminator is one character of its own, so the step
// never passes the terminator. `position` must not be the terminator itself.
const char* StepChar(const LeadByteTable& table, const char* position);

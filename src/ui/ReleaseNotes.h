#pragma once

// The release notes shown by the Read-Me dialog: 62 lines of plain text,
// each ending in CR LF, laid out for a fixed-pitch font.
extern const char releaseNotesText[];

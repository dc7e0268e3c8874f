#pragma once

class CSearchDlg;

// The search options kept between runs of the program: the integers
// "CaseSensitive", "RegExp" and "Backwards" in the group "Settings" of the
// user's settings for organisation "Jor", application "Quarvel". The search
// text is never stored.

// Reads the three options into the dialog's fields, in that order; a value
// that is missing (or no integer) reads as 0. Other values are taken as they
// are: the dialog shows them as a cleared box.
void LoadSearchOptions(CSearchDlg& dialog);

// Writes the dialog's three options back, in the same order.
void SaveSearchOptions(const CSearchDlg& dialog);

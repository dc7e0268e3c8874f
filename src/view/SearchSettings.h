#pragma once

class CSearchDlg;

// The search options kept between runs of the program: the integers
// "CaseSensitive", "RegExp" and "Backwards" in the group "Settings" of the
// user's settings for organisation "Jor", application "Quarvel". The search
// text is never stored.
//
// The store holds the one set of options of the whole application: every
// view reads it when its Search dialog opens and writes it as soon as the
// user has changed an option, so several windows never overwrite each
// other's choice when they close.

// Reads the three options into the dialog's fields, in that order; a value
// that is missing (or no integer) reads as 0. Other values are taken as they
// are: the dialog shows them as a cleared box.
void LoadSearchOptions(CSearchDlg& dialog);

// Writes the dialog's three options back, in the same order, when any of
// them differs from what the store reads as now. An unchanged set is not
// written, so a value put there by hand survives a search that kept it.
void SaveChangedSearchOptions(const CSearchDlg& dialog);

#pragma once
// The open and save dialogs, realised with FLTK's own file chooser: a path typed into its
// file name field and Enter accept, so that tests can drive it with synthetic keys.
class TFileDialog;

// Shows the chooser; on OK stores the path in dialog.FileName (a save dialog adds the
// default extension to a name without one) and returns true. False when cancelled.
bool RunFileChooser(TFileDialog& dialog);

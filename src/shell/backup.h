#pragma once
class TMainForm;

// Copies every data file of the program's directory to a "BAK" copy beside it.
void RunBackup(TMainForm& main);

#pragma once
class QTextStream;
struct CommandLine;

// hoopfall --pool DIR --outlook [--places N]: the Pool Outlook of the pool as tab-separated text
// on out (UTF-8), notes and errors on err. Needs no window and no display, and writes nothing
// anywhere. Returns the exit code: 0, or UsageExitCode for a command line it cannot follow or a
// pool it cannot read.
int runOutlookCommand(const CommandLine& line, QTextStream& out, QTextStream& err);

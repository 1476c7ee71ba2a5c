#pragma once
#include <QString>

class IFrame;
class TPoolSession;

// Copies every data file of the pool's folder to a "BAK" copy beside it; the picks backup
// holds the participant list as it stands in memory.
void runBackup(TPoolSession& session, IFrame& frame);

// Copies one file; shows the error box for a failure and returns false.
bool CopyDataFile(const QString& source, const QString& destination);

#pragma once
#include <QString>

class Frame;
class PoolSession;

// Copies every data file of the pool's folder to a "BAK" copy beside it; the picks backup
// holds the participant list as it stands in memory.
void runBackup(PoolSession& session, Frame& frame);

// Copies one file; shows the error box for a failure and returns false.
bool copyDataFile(const QString& source, const QString& destination);

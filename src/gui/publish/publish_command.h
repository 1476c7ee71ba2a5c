#pragma once

class Frame;
class PoolSession;

// Pool, Publish...: asks for a folder (the last one offered first, else the pool's data folder),
// remembers it in the settings store and publishes the pool there as the participant list stands.
// Failures are reported in a box; success in a box naming the folder.
void publishInteractive(PoolSession& session, Frame& frame);

// Where the folder is remembered.
namespace settings {
inline constexpr const char* PublishFolder = "Publish Folder";  // in Other
}

#include "core/pool/unreadable_file.h"

#include "core/pool/errors.h"
#include "core/pool/pool_host.h"

void keepUnreadableFile(const std::string& path, const std::string& reason, PoolHost& host, FileGuard& guard,
                        const std::string& note)
{
    std::string text = "The file " + path + " could not be read: " + reason + ".\n\n";
    try {
        const std::string aside = moveAside(path, "unreadable");
        const std::size_t slash = aside.rfind('/');
        text += "It was moved aside unchanged as " + (slash == std::string::npos ? aside : aside.substr(slash + 1)) +
                " in the same folder, and the program goes on without it.";
    } catch (const HoopError& error) {
        guard = {FileGuard::State::Blocked, KeptFileReason};
        text +=
            std::string(error.what()) + ". It stays as it is, and the program will not write over it while it runs.";
    }
    if (!note.empty()) text += " " + note;
    host.showError(text);
}

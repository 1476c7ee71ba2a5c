#include "gui/main/termination.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "gui/widgets/guarded.h"

namespace {
int g_pipe[2] = {-1, -1};
const int WatchedSignals[] = {SIGTERM, SIGHUP, SIGINT};
struct sigaction g_previous[3];

void onSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    // Only async-signal-safe calls here; a full pipe already holds a request.
    const ssize_t written = ::write(g_pipe[0], &byte, 1);
    (void)written;
}
}  // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, guarded([this] {
                unsigned char byte = 0;
                int last = 0;
                while (::read(g_pipe[1], &byte, 1) == 1) last = byte;
                if (last) emit terminationRequested(last);
            }));
    struct sigaction action {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) ::sigaction(WatchedSignals[i], &action, &g_previous[i]);
}

TerminationWatcher::~TerminationWatcher()
{
    if (!m_notifier) return;
    for (int i = 0; i < 3; ++i) ::sigaction(WatchedSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

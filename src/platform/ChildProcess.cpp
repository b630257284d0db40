#include "ChildProcess.h"

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void ChildProcess::bindLifetimeToParent(QProcess &process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        // Runs in the child between fork and exec: only async-signal-safe calls here.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may already have died before the request took effect.
        if (::getppid() != parent)
            ::_exit(127);
    });
}

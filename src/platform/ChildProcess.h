#pragma once

class QProcess;

// Helpers for the external tools the application drives.
class ChildProcess
{
public:
    // The child gets SIGKILL when the thread that started it ends (the application quits or
    // crashes), so a tool never keeps writing to a card after its parent is gone. Call before start().
    static void bindLifetimeToParent(QProcess &process);
};

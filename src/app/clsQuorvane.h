#pragma once
// The automation class: another program runs a command line inside this process.
#include <QString>

#include <functional>
#include <memory>

class JobSession;

class clsQuorvane
{
public:
    clsQuorvane();
    ~clsQuorvane();
    clsQuorvane(const clsQuorvane &) = delete;
    clsQuorvane &operator=(const clsQuorvane &) = delete;

    // Runs the command line; returns 0, -2 (empty), -3 (invalid) or -4 (opened, not run).
    int DoCommandLine(const QString &sCommand);
    // Raised for an empty (-2) or invalid (-3) command line.
    std::function<void(int lErr, const QString &sErr)> OnError;
    // Whether a task or file failed in the last DoCommandLine.
    bool lastRunHadFailures() const { return m_failures; }

private:
    std::unique_ptr<JobSession> m_session;
    bool m_failures = false;
};

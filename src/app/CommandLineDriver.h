#pragma once
// Runs a command line: one conversion, or a job file, with its log and results file.
#include <QString>

#include <functional>

class JobSession;

enum CommandLineResult { clrDone = 0, clrEmpty = -2, clrInvalid = -3, clrOpenedNotRun = -4 };

// An empty text means the process's own command line. *failuresLogged tells whether a task or
// file of this call failed (a "-" mark; the exit status then reports it). *helpOnly tells that
// an invalid line only asked for the help ("/?" with no original and no job). openForEditing:
// where a job opened without running it (/O) goes; without it the job is opened into the session.
int RunCommandLine(JobSession &session, const QString &sCommandLine, bool *failuresLogged = nullptr,
                   bool *helpOnly = nullptr,
                   const std::function<void(const QString &sJobFile)> &openForEditing = {});
// The exit status of the program for a result: 0 done (or help asked for), 1 failures logged,
// 2 invalid line.
int ExitStatusFor(int commandLineResult, bool failuresLogged, bool helpOnly = false);

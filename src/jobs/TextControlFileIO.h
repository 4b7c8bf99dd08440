#pragma once
// Loading a file into a text control and saving a control to a file, with the retries, the
// RTF/DOC swap and one readable message per failure.
#include <QString>

class JobSession;
class TextControl;

// The last text-control error (0 and "" = none).
extern int gTXErrNumber;
extern QString gTXErrDescription;

// Pause between two load attempts of a file that exists but cannot be read (100 ms; tests
// shorten it).
void SetTXLoadRetryPause(int ms);

// Loads sFile with the stream type lType (which a successful RTF/DOC swap changes). 0 on
// success, else the error number with the text in sMessage. A missing file fails at once; a
// file that cannot be read is tried again up to 100 times. With a session the waits between
// attempts process its events, and a Pause during them ends the retries (the load fails).
int TXControlLoadFile(const QString &sFile, int &lType, TextControl *control, QString &sMessage,
                      JobSession *session = nullptr);
// One load call; false when it failed.
bool TXControlLoadFileCore(TextControl *control, const QString &sFile, int lOffset, int lType);
// Saves the control to sFile as lType (at most two attempts). 0 on success.
int TXControlSaveFile(const QString &sFile, int &lType, TextControl *control, QString &sMessage);

// Error handlers of the two controls: the first records the error as it is, both suppress
// any display.
void TXTextControl1_Error(int number, const QString &description, bool &cancelDisplay);
void TXTextControlOutput_Error(int number, const QString &description, bool &cancelDisplay);

// Lets the control read and write DOC through the session's office worker.
void AttachOfficeWorker(JobSession &session, TextControl *control);

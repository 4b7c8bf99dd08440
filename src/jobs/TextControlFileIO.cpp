#include "jobs/TextControlFileIO.h"

#include "common/Globals.h"
#include "converter/ConversionControl.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "platform/EventPump.h"
#include "textcontrol/TextControl.h"

int gTXErrNumber = 0;
QString gTXErrDescription;

namespace {

int g_retryPauseMs = 100;
constexpr int kLoadAttempts = 100;
constexpr int kLoadCoreFailed = -1234;

} // namespace

void SetTXLoadRetryPause(int ms)
{
    g_retryPauseMs = ms < 0 ? 0 : ms;
}

void TXTextControl1_Error(int number, const QString &description, bool &cancelDisplay)
{
    gTXErrNumber = number;
    // The description is kept as it is: it may hold paths.
    gTXErrDescription = description;
    cancelDisplay = true;
}

void TXTextControlOutput_Error(int, const QString &, bool &cancelDisplay)
{
    cancelDisplay = true;
}

bool TXControlLoadFileCore(TextControl *control, const QString &sFile, int lOffset, int lType)
{
    const bool visible = control->Visible();
    const int rc = control->Load(sFile, lOffset, lType);
    if (control->Visible() != visible)
        control->setVisible(visible);
    if (rc == TextControl::errInvalidFormat || rc == TextControl::errInvalidValue || rc == TextControl::errNoConverter) {
        // Reported through the error event: the call itself went through.
        bool cancel = false;
        TXTextControl1_Error(rc, control->lastErrorDescription(), cancel);
        return true;
    }
    return rc == 0;
}

int TXControlLoadFile(const QString &sFile, int &lType, TextControl *control, QString &sMessage, JobSession *session)
{
    bool swapped = false;
    int attempts = 0;
    for (;;) {
        control->setWidth(26000000);
        control->setHeight(260000000);
        gTXErrNumber = 0;
        gTXErrDescription.clear();
        control->setOutputOption(37, true);

        const bool loaded = TXControlLoadFileCore(control, sFile, lType == 3 ? 30 : 0, lType);
        if (!loaded && control->lastErrorNumber() == TextControl::errFileAccess) {
            // The file exists but cannot be read now (locked, busy): wait and try again.
            // Only a Pause pressed while the load waits ends the retries early.
            if (++attempts < kLoadAttempts &&
                EventPump::wait(session ? session->pump() : nullptr, g_retryPauseMs,
                                session ? &session->bRunning : nullptr))
                continue;
            const int number = control->lastErrorNumber();
            // The control's description names the file and the system's reason: no fixed text
            // for the translator, which would keep every such path in the language file.
            sMessage = Translate(QStringLiteral("File Load Error ")) + QString::number(number) + QStringLiteral("\r\r")
                       + sFile + QStringLiteral("\r\r") + control->lastErrorDescription();
            return number;
        }
        if (!loaded)
            gTXErrNumber = kLoadCoreFailed;
        if (gTXErrNumber == 0)
            return 0;

        const QString separator = gbCommandLineMode ? QStringLiteral("\n\n") : QStringLiteral("  ");
        if (gTXErrNumber == kLoadCoreFailed) {
            sMessage = Translate(QStringLiteral(
                           "File Load Error. Could be sharing violation or Invalid File Type specified for the Original File:"))
                       + separator + sFile;
            return kLoadCoreFailed;
        }
        if (gTXErrNumber == TextControl::errInvalidValue) {
            // A type the control cannot read: retrying cannot help.
            sMessage = Translate(QStringLiteral("File Load Error ")) + QString::number(gTXErrNumber)
                       + QStringLiteral("\r\r") + sFile + QStringLiteral("\r\r")
                       + Translate(QStringLiteral("Invalid File Format/Type specified"));
            return gTXErrNumber;
        }
        if (gTXErrNumber != TextControl::errInvalidFormat) {
            sMessage = Translate(QStringLiteral("OpenFile")) + gTXErrDescription;
            return gTXErrNumber;
        }
        if (!swapped && (lType == 5 || lType == 9)) {
            // An RTF file named .doc, or a Word file named .rtf.
            lType = lType == 5 ? 9 : 5;
            swapped = true;
            continue;
        }
        sMessage = Translate(QStringLiteral("Invalid File Type or password specified for the Input File:")) + separator
                   + sFile;
        return TextControl::errInvalidFormat;
    }
}

int TXControlSaveFile(const QString &sFile, int &lType, TextControl *control, QString &sMessage)
{
    const bool visible = control->Visible();
    int result = 0;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        gTXErrNumber = 0;
        gTXErrDescription.clear();
        const int setting = control->PDFSaveSetting();
        int rc = 0;
        switch (lType) {
        case 1:
        case 6:
        case 10:
        case 11:
            rc = control->Save(sFile, 0, lType, false);
            break;
        case 4:
        case 5:
        case 9:
        case 13:
            rc = control->Save(sFile, 0, lType);
            break;
        case 12:
            if (setting != 0)
                control->setPDFSaveSetting(0);
            rc = control->Save(sFile, 0, 12);
            break;
        case 14:
            if (setting != 2)
                control->setPDFSaveSetting(2);
            rc = control->Save(sFile, 0, 14);
            break;
        default:
            gTXErrNumber = -1;
            gTXErrDescription = Translate(QStringLiteral("Unknown File Type"));
            break;
        }
        if (rc != 0 && gTXErrNumber == 0) {
            gTXErrNumber = rc;
            gTXErrDescription = control->lastErrorDescription();
        }
        if (control->PDFSaveSetting() != setting)
            control->setPDFSaveSetting(setting);
        if (gTXErrNumber == 0) {
            result = 0;
            break;
        }
        if (attempt == 1) {
            if (!control->Visible())
                control->setVisible(true);
            continue;
        }
        result = gTXErrNumber;
        // A number alone would leave the user guessing at page settings that cannot work.
        if (gTXErrNumber == TextControl::errNoRoom)
            sMessage = Translate(QStringLiteral("The page's margins leave no room for text."));
        else if (gTXErrDescription.contains(QLatin1String("certificate"), Qt::CaseInsensitive)
            || gTXErrDescription.contains(QLatin1String("time"), Qt::CaseInsensitive))
            sMessage = gTXErrDescription;
        else
            sMessage = QStringLiteral("Corvask.FileSave: Error: ") + QString::number(gTXErrNumber);
    }
    if (control->Visible() != visible)
        control->setVisible(visible);
    return result;
}

void AttachOfficeWorker(JobSession &session, TextControl *control)
{
    if (control->hasOfficeConverter())
        return;
    JobSession *s = &session;
    control->setOfficeConverter([s](const QString &src, const QString &dst, const QString &filter, QString &message) {
        return s->VelmoraX1()->convertDocument(src, dst, filter, message) == 0;
    });
}

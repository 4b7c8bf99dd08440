#pragma once
// The quick road to a PDF of a whole presentation. LibreOfficeKit loads every document into a
// frame with an editing view, and building and closing that view is about a sixth of a small
// presentation's conversion. A Basic routine in the worker's own profile loads the original
// hidden instead and stores it with the PDF filter, as the office's command-line conversion
// does. It answers only "done" or "not done": whatever it cannot do (a password, a damaged
// file, a document that is no presentation) is left to the regular road, which says why.
#include <QString>

class OfficeHost;

class HiddenPdfExport
{
public:
    // The routine lives in profileFolder; its request and answer files in workFolder.
    HiddenPdfExport(OfficeHost &host, const QString &profileFolder, const QString &workFolder);

    // Writes the routine into the profile (after the office has started: a new profile is
    // filled from the office's presets at the first start). False when it cannot be written.
    bool install();
    // Installed, and the office has run it whenever asked.
    bool available() const { return m_available; }
    // Converts original into a PDF at target; false, with nothing left at target, when it did not.
    bool convert(const QString &original, const QString &target);

private:
    OfficeHost &m_host;
    QString m_profile;
    QString m_request;
    QString m_answer;
    bool m_available = false;
};

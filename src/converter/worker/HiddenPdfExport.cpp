#include "HiddenPdfExport.h"

#include "OfficeHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The routine reads the original's and the target's URLs from the request file and writes the
// answer file only when the PDF is complete. URLs are percent-encoded ASCII, so Basic's file
// reading (in the system's character set) and its string literals take them unchanged.
QByteArray routine(const QByteArray &requestUrl, const QByteArray &answerUrl)
{
    return QByteArrayLiteral(
               "REM Written by quorvane-office at every start: a hidden load and the PDF filter.\n"
               "Sub ConvertToPdf\n"
               "  Dim oDoc As Object\n"
               "  Dim sSource As String, sTarget As String, sFilter As String\n"
               "  On Error GoTo Failed\n"
               "  n = FreeFile\n"
               "  Open \"")
           + requestUrl
           + QByteArrayLiteral(
               "\" For Input As #n\n"
               "  Line Input #n, sSource\n"
               "  Line Input #n, sTarget\n"
               "  Close #n\n"
               "  Dim aLoad(1) As New com.sun.star.beans.PropertyValue\n"
               "  aLoad(0).Name = \"Hidden\" : aLoad(0).Value = True\n"
               "  aLoad(1).Name = \"MacroExecutionMode\" : aLoad(1).Value = 0\n"
               "  oDoc = StarDesktop.loadComponentFromURL(sSource, \"_blank\", 0, aLoad())\n"
               "  If IsNull(oDoc) Then Exit Sub\n"
               "  If oDoc.supportsService(\"com.sun.star.presentation.PresentationDocument\") Then\n"
               "    sFilter = \"impress_pdf_Export\"\n"
               "  ElseIf oDoc.supportsService(\"com.sun.star.drawing.DrawingDocument\") Then\n"
               "    sFilter = \"draw_pdf_Export\"\n"
               "  Else\n"
               "    oDoc.close(True)\n"
               "    Exit Sub\n"
               "  End If\n"
               "  Dim aStore(1) As New com.sun.star.beans.PropertyValue\n"
               "  aStore(0).Name = \"FilterName\" : aStore(0).Value = sFilter\n"
               "  aStore(1).Name = \"Overwrite\" : aStore(1).Value = True\n"
               "  oDoc.storeToURL(sTarget, aStore())\n"
               "  oDoc.close(True)\n"
               "  n = FreeFile\n"
               "  Open \"")
           + answerUrl
           + QByteArrayLiteral(
               "\" For Output As #n\n"
               "  Print #n, \"done\"\n"
               "  Close #n\n"
               "  Exit Sub\n"
               "Failed:\n"
               "  On Error Resume Next\n"
               "  If Not IsNull(oDoc) Then oDoc.close(True)\n"
               "End Sub\n");
}

} // namespace

HiddenPdfExport::HiddenPdfExport(OfficeHost &host, const QString &profileFolder, const QString &workFolder)
    : m_host(host), m_profile(profileFolder), m_request(workFolder + QStringLiteral("/hidden-pdf-request.txt")),
      m_answer(workFolder + QStringLiteral("/hidden-pdf-answer.txt"))
{
}

bool HiddenPdfExport::install()
{
    // The application's "Standard" library, which every profile has with this one module.
    const QString module = m_profile + QStringLiteral("/user/basic/Standard/Module1.xba");
    if (!QFileInfo(module).dir().exists())
        return m_available = false;
    const QByteArray xml =
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE script:module PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" \"module.dtd\">\n"
                          "<script:module xmlns:script=\"http://openoffice.org/2000/script\" script:name=\"Module1\" "
                          "script:language=\"StarBasic\">")
        // As Latin-1 text every byte stays what it is; only & < > " are escaped.
        + QString::fromLatin1(routine(OfficeHost::fileUrl(m_request), OfficeHost::fileUrl(m_answer)))
              .toHtmlEscaped()
              .toLatin1()
        + QByteArrayLiteral("</script:module>\n");
    QFile f(module);
    m_available = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(xml) == xml.size();
    f.close();
    return m_available = m_available && f.error() == QFileDevice::NoError;
}

bool HiddenPdfExport::convert(const QString &original, const QString &target)
{
    if (!m_available)
        return false;
    QFile::remove(m_answer);
    QFile request(m_request);
    if (!request.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    request.write(OfficeHost::fileUrl(original) + '\n' + OfficeHost::fileUrl(target) + '\n');
    request.close();
    if (request.error() != QFileDevice::NoError)
        return false;
    // A routine the office cannot run at all will not run later either: the regular road takes
    // every file from then on.
    if (!m_host.runMacro("macro:///Standard.Module1.ConvertToPdf()"))
        m_available = false;
    const bool done = QFile::exists(m_answer) && QFileInfo(target).size() > 0;
    QFile::remove(m_answer);
    if (!done)
        QFile::remove(target);
    return done;
}

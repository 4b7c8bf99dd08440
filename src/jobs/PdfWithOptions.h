#pragma once
// The "PDF - with options" road (target type 300): the presentation goes to RTF through the
// conversion control, then through the text control to a PDF with the program's page, font,
// security and image settings.
class JobSession;
class clsConversionOptions;

// Converts options.sOriginalFile to the PDF options.sTargetFile; sets options.lErr and
// options.sErr and returns the result code.
int PdfWithOptions(JobSession &session, clsConversionOptions &options);

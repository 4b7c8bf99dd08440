#pragma once
// The "PDF - with options" road (target type 300): the presentation goes to RTF through the
// conversion control, then through the text control to a PDF with the program's page, font,
// security and image settings.
class JobSession;
class TextControl;
class clsConversionOptions;
struct ConversionSettings;

// Converts options.sOriginalFile to the PDF options.sTargetFile; sets options.lErr and
// options.sErr and returns the result code. The road works on a copy of the record: types and
// paths of the caller's record are left as they were.
int PdfWithOptions(JobSession &session, clsConversionOptions &options);

// Loads options.sOriginalFile (options.lOriginalFileType) into TXTextControl1, applies the
// settings and saves options.sTargetFile (options.lTargetFileType): 0, -2 load failed, -3
// save failed; lErr and sErr are set.
int ConvertRTFToPDFWithTextControl(JobSession &session, clsConversionOptions &options);

// Pushes the enforced page, paragraph, font, PDF and image settings to TXTextControl1.
void ApplyULKSettingsToTextControl(JobSession &session);

// The paragraph and font groups of the settings, written to a text control (the PDF road and
// the output options dialog, whose font and paragraph dialogs edit them through the control).
void WriteULKParagraphSettings(TextControl &tc, const ConversionSettings &s);
void WriteULKFontSettings(TextControl &tc, const ConversionSettings &s);

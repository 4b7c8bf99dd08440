#pragma once
// The rich-text control: a document with load and save by stream type, the whole text, a
// selection, formatted copies between controls, page size and margins, the indexed output
// options, and the paragraph and character properties of the selection. Errors come back as
// a number and a description (and through the Error signal); the control never shows a box.
//
// Stream types: 1, 2, 6 plain text (encoding and line ends kept), 3 like plain text after an
// offset, 4 HTML, 5 RTF, 9 DOC (through an office converter, via RTF), 10 XML, 11 CSS,
// 12 PDF, 13 OpenDocument text, 14 PDF/A. Lengths in twips, colours as COLORREF.
#include "textcontrol/PlainTextCodec.h"

#include <QObject>
#include <QString>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QVariant>

#include <functional>
#include <memory>

class QTextDocument;

class TextControl : public QObject
{
    Q_OBJECT
public:
    // Error numbers.
    enum : int {
        errNone = 0,
        errFileNotFound = 53,
        errFileAccess = 75,      // the file exists but cannot be opened (locked, no permission)
        errInvalidFormat = 321,  // the content is not of the stated type
        errInvalidValue = 380,   // a type or value the control does not take
        errWriteFailed = 1001,   // the file could not be written
        errNoConverter = 1002,   // DOC needs the office converter, which is not available
        errNoRoom = 1003,        // the page's margins leave no room for text
        errUnknownType = -1,
    };

    // Converts a file between formats through the office worker: source, target, filter name
    // ("Rich Text Format", "MS Word 97"); false with a message on failure.
    using OfficeConverter = std::function<bool(const QString &src, const QString &dst, const QString &filter,
                                               QString &message)>;

    explicit TextControl(QObject *parent = nullptr);
    ~TextControl() override;

    QTextDocument *document() const { return m_doc.get(); }

    // Load and save. Both return 0 or an error number; the description is in
    // lastErrorDescription() and the Error signal carries both.
    int Load(const QString &file, int offset, int type);
    int Save(const QString &file, int offset, int type, bool bFlag = true);
    int lastErrorNumber() const { return m_errNumber; }
    QString lastErrorDescription() const { return m_errDescription; }
    void setOfficeConverter(OfficeConverter converter) { m_office = std::move(converter); }
    bool hasOfficeConverter() const { return bool(m_office); }

    // Encoding and line ends that plain-text saves use (taken from the last plain-text load;
    // Clear resets them to UTF-8 with CR LF).
    PlainTextForm plainTextForm() const { return m_plainForm; }
    void setPlainTextForm(const PlainTextForm &form) { m_plainForm = form; }

    // Text and selection. A selection start of -1 puts the caret at the end.
    QString Text() const;
    void Clear();
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);
    // Formatted content of the selection, and its insertion at the caret (replacing a selection).
    QTextDocumentFragment SelectionFragment() const;
    void InsertFragment(const QTextDocumentFragment &fragment);
    // Copies a range of another control to the caret with its character formats and its
    // paragraph's format; with paragraphEnd a paragraph break follows. Pictures come along.
    void InsertRangeFrom(const TextControl &source, int start, int length, bool paragraphEnd);
    // The selection as a data block of a format: 3 is our RTF; other formats give plain text.
    QByteArray SelectionData(int format) const;
    bool InsertData(int format, const QByteArray &data);

    // Page, twips.
    int PageWidth() const { return m_pageWidth; }
    void setPageWidth(int twips) { m_pageWidth = twips; }
    int PageHeight() const { return m_pageHeight; }
    void setPageHeight(int twips) { m_pageHeight = twips; }
    int PageMarginL() const { return m_marginL; }
    void setPageMarginL(int twips) { m_marginL = twips; }
    int PageMarginT() const { return m_marginT; }
    void setPageMarginT(int twips) { m_marginT = twips; }
    int PageMarginR() const { return m_marginR; }
    void setPageMarginR(int twips) { m_marginR = twips; }
    int PageMarginB() const { return m_marginB; }
    void setPageMarginB(int twips) { m_marginB = twips; }

    // Indexed output options: 0 page width, 1 page height, 8 style-sheet file, 9 style-sheet
    // option, 10 access permissions, 11 permissions password, 12 open password, 13 image
    // compression quality, 14 maximum image resolution, 37 (load flag; kept). A load resets
    // the page (to what the file states), the permissions, passwords and picture settings.
    QVariant OutputOption(int index) const;
    void setOutputOption(int index, const QVariant &value);
    // 0 plain PDF, 2 PDF/A; Save sets it for types 12 and 14.
    int PDFSaveSetting() const { return m_pdfSaveSetting; }
    void setPDFSaveSetting(int v) { m_pdfSaveSetting = v; }
    // Zoom in percent (the first setting the PDF road gives 100).
    int ZoomFactor() const { return m_zoom; }
    void setZoomFactor(int percent) { m_zoom = percent; }

    // Paragraph properties of the selection. Alignment 0 left, 1 right, 2 centre, 3 justify;
    // frame style bits 1 left, 2 right, 4 top, 8 bottom; lengths in twips; LineSpacing in
    // percent, LineSpacingT an exact line height in twips (0 = not set).
    int Alignment() const;
    void setAlignment(int v);
    int FrameDistance() const;
    void setFrameDistance(int v);
    int FrameLineWidth() const;
    void setFrameLineWidth(int v);
    int FrameStyle() const;
    void setFrameStyle(int v);
    int IndentB() const;
    void setIndentB(int v);
    int IndentFL() const;
    void setIndentFL(int v);
    int IndentL() const;
    void setIndentL(int v);
    int IndentR() const;
    void setIndentR(int v);
    int IndentT() const;
    void setIndentT(int v);
    int LineSpacing() const;
    void setLineSpacing(int v);
    int LineSpacingT() const;
    void setLineSpacingT(int v);

    // Character properties of the selection. BaseLine in twips (+ raised); FontSize in
    // points; booleans as 0/1; underline style 1 single, 2 double, 3 dotted, 4 dashed,
    // 5 wave, 6 words; colours as COLORREF, TextBkColor 0 = no background (a black background
    // is TextUnits::kBlackTextBackground).
    int BaseLine() const;
    void setBaseLine(int v);
    int FontBold() const;
    void setFontBold(int v);
    int FontItalic() const;
    void setFontItalic(int v);
    int FontSize() const;
    void setFontSize(int v);
    int FontStrikethru() const;
    void setFontStrikethru(int v);
    int FontUnderline() const;
    void setFontUnderline(int v);
    int FontUnderlineStyle() const;
    void setFontUnderlineStyle(int v);
    int ForeColor() const;
    void setForeColor(int v);
    int TextBkColor() const;
    void setTextBkColor(int v);
    QString FontName() const;
    void setFontName(const QString &v);

    // The control's font and paragraph dialogs change the selection's format. The window
    // installs them (this layer shows no widgets); without one the call does nothing.
    using DialogHandler = std::function<void(TextControl &)>;
    void setFontDialogHandler(DialogHandler handler) { m_fontDialog = std::move(handler); }
    void setParagraphDialogHandler(DialogHandler handler) { m_paragraphDialog = std::move(handler); }
    void FontDialog()
    {
        if (m_fontDialog)
            m_fontDialog(*this);
    }
    void ParagraphDialog()
    {
        if (m_paragraphDialog)
            m_paragraphDialog(*this);
    }

    // Container properties (kept for callers that position the control).
    bool Visible() const { return m_visible; }
    void setVisible(bool v) { m_visible = v; }
    int Left() const { return m_left; }
    void setLeft(int v) { m_left = v; }
    double Width() const { return m_width; }
    void setWidth(double v) { m_width = v; }
    double Height() const { return m_height; }
    void setHeight(double v) { m_height = v; }

signals:
    void Error(int number, const QString &description);

private:
    int fail(int number, const QString &description);
    int loadBytes(const QByteArray &bytes, int type, const QString &file);
    int saveDoc(const QString &file);
    int loadDoc(const QString &file);
    QByteArray renderBytes(int type, const QString &file, int *error, QString *description);
    void mergeBlock(const std::function<void(QTextBlockFormat &)> &fn);
    void mergeChar(const std::function<void(QTextCharFormat &)> &fn);
    QTextBlockFormat blockFormat() const;
    QTextCharFormat charFormat() const;

    std::unique_ptr<QTextDocument> m_doc;
    QTextCursor m_cursor;
    int m_errNumber = 0;
    QString m_errDescription;
    OfficeConverter m_office;
    DialogHandler m_fontDialog;
    DialogHandler m_paragraphDialog;
    PlainTextForm m_plainForm;

    int m_pageWidth = 12240;
    int m_pageHeight = 15840;
    int m_marginL = 1440;
    int m_marginT = 1440;
    int m_marginR = 1440;
    int m_marginB = 1440;
    QString m_styleSheetFile;
    int m_styleSheetOption = 0;
    int m_permissions = 0;
    QString m_ownerPassword;
    QString m_userPassword;
    int m_imageQuality = 0;
    int m_imageResolution = 0;
    bool m_loadFlag = false;
    int m_pdfSaveSetting = 0;
    int m_zoom = 100;

    bool m_visible = false;
    int m_left = 0;
    double m_width = 0;
    double m_height = 0;
};

#include "PickerFilters.h"

#include <initializer_list>

QString OriginalPickerFilter()
{
    return QStringLiteral(
        "All files(*.*)|*.*|"
        "PowerPoint Presentations (*.ppt,*.pptx,*.pps,*.pot,*.htm,*.html,*.mht,*.mhtml)|"
        "*.PPT;*.PPTX;*.PPS;*.PPSX;*.POT;*.POTX;*.POTM;*.HTM;*.HTML;*.MHT;*.MHTML|"
        "Presentations and Shows (*.ppt,*.pptx,*.pps)|*.PPT;*.PPTX;*.PPS;*.PPSX|"
        "Web Pages HTML (*.htm,*.html,*.mht,*.mhtml)|*.htm;*.html;*.mht;*.mhtml|"
        "Design Templates (*.pot,*.potx)|*.pot;*.potx|"
        "Outlines(*.txt,*.rtf,*.doc,*.wpd,*.wps)|*.txt;*.rtf;*.doc;*.wpd;*.wps");
}

QString TargetPickerFilter()
{
    return QStringLiteral(
        "Rich Text Format (*.RTF)|*.RTF|"
        "Text (*.txt)|*.TXT|"
        "HTML (*.htm)|*.HTM;*.HTML;*.MHT|"
        "TIFF (*.tif)|*.TIF;*.TIFF|"
        "JPEG (*.jpg)|*.JPG;*.JPEG|"
        "CompuServe GIF (*.gif)|*.GIF|"
        "Windows BMP (*.bmp)|*.BMP|"
        "Portable Network Graphics(*.png)|*.PNG|"
        "EMF (*.emf)|*.EMF|"
        "WMF (*.wmf)|*.WMF|"
        "PowerPoint (*.ppt *.pptx etc.) |*.PPT;*.PPTX;*.POTM;*.POTX;*.PPTM;*.PPSM;*.PPSX|"
        "PDF (*.pdf)|*.PDF|"
        "PPS PowerPoint Show |*.PPS;*.PPSX|"
        "POT Design Template (*.pot)|*.pot|"
        "DOC Word Document (*.doc)|*.doc|"
        "XPS (*.xps) |*.xps|"
        "XML (*.xml)|*.xml|"
        "WMV (*.wmv)|*.wmv|"
        "ODP (*.odp)|*.odp|"
        "All Files (*.*)|*.*|");
}

QString SpecializedPickerFilter(int lSpecialProcess)
{
    if (lSpecialProcess != 50 && lSpecialProcess != 55 && lSpecialProcess != 56)
        return QString();
    return QStringLiteral("MS Word (*.doc)|*.doc|Rich Text Format(*.RTF)|*.RTF|"
                          "Text (*.TXT;*.C;*.cpp, etc.)|*.TXT;*.C;*.cpp;*.frm|HTML (*.htm;*.html)|*.htm;*.html");
}

QString ProgramPickerFilter()
{
    return QStringLiteral("Applications (*.EXE)|*.EXE|Batch Files (*.BAT)|*.BAT|All Files (*.*)|*.*");
}

int OriginalFilterIndex(int lOriginalType, int lLast)
{
    return lOriginalType >= 1 && lOriginalType <= 6 ? lOriginalType : lLast;
}

int TargetFilterIndex(int lTargetType)
{
    struct Entry { int index; std::initializer_list<int> codes; };
    static const Entry table[] = {
        {1, {6, 106}}, {2, {107, 200}}, {3, {12, 13, 14, 20, 108}}, {4, {21}}, {5, {17}}, {6, {16}},
        {7, {19}}, {8, {18}}, {9, {100}}, {10, {15}}, {11, {1, 2, 3, 4, 10, 24, 25, 26, 27, 28, 29, 36}},
        {12, {32, 300}}, {13, {7}}, {14, {5}}, {15, {101}}, {16, {33}}, {17, {34}}, {18, {37}}, {19, {35}},
    };
    for (const Entry &e : table)
        for (int code : e.codes)
            if (code == lTargetType)
                return e.index;
    return 20;
}

int SpecializedFilterIndex(int lOriginalTypeSpecialized, int lLast)
{
    switch (lOriginalTypeSpecialized) {
    case 1:
    case 2:
    case 6:
        return 3;
    case 4:
        return 4;
    case 5:
        return 2;
    case 9:
        return 1;
    default:
        return lLast;
    }
}

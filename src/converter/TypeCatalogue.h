#pragma once
// The save-as types of the conversion control, its result messages and the extension query.
// A static table: filling lists, validating and naming targets never start the office worker.
#include <QList>
#include <QString>

struct SaveAsType
{
    int code;
    QString name;      // shown in the target-type lists
    QString extension; // without dot, lower case
    bool singleFile;   // all slides can go into one output file (images are always one per slide)
    bool perSlideImage; // one picture file per slide
};

namespace TypeCatalogue {

// The save-as type codes; job files store them, so they never change.
enum TypeCode {
    tPdf = 32, tPptx = 24, tPpt = 1, tPpsx = 28, tPps = 7, tPotx = 26, tPot = 5, tOdp = 35,
    tHtmlPages = 12, tPng = 18, tJpeg = 17, tBmp = 19, tTiff = 21,
    tRtf = 6, tRtfPictures = 106, tText = 107, tUnicodeText = 200, tWord = 101, tHtmlText = 108,
};

const QList<SaveAsType> &types();
// nullptr for an unknown code.
const SaveAsType *find(int code);
int count();
// Entry i (0-based) of the list; false when i is out of range.
bool saveAsType(int index, QString &name, int &code);

// Extension of a type code: "pdf", or "*.pdf" in the wildcard form; also the original-type group
// codes 1-4 ("ppt"), 5 ("pot") and 6 ("rtf"). "" for an unknown code.
QString typeExtension(int code, bool wildcard);
bool supportsSingleFileOutput(int code);

// Name of the output for one slide when every slide gets its own file: "deck.pdf" gives
// "deck_3.pdf" for slide 3.
QString perSlideFileName(const QString &target, int slide);
// The slide number of such a name made from target; 0 when path is not one of them.
int perSlideNumber(const QString &target, const QString &path);
// The target whose output for one slide path would be ("deck_3.pdf" gives "deck.pdf", in the
// same folder); "" when path is no such name.
QString perSlideTarget(const QString &path);

// Result codes of a conversion and their fixed messages (no paths; callers translate them).
enum Result {
    Success = 0,
    Failed = -1,
    TargetNotWritable = -2,
    OriginalNotOpened = -3,
    OriginalPasswordProtected = -4,
    OriginalCorrupt = -5,
    TypeNotSupportedForOriginal = -6,
    InvalidSlideRange = -7,
    TimedOut = -8,
    WorkerStopped = -9,
    UnknownTargetType = -10,
    WorkerNotStarted = -11,
    Interrupted = -12,
};
int resultMessageCount();
// Message of a code -1 .. -resultMessageCount(); 0 gives the success text; others "".
QString resultMessage(int code);

} // namespace TypeCatalogue

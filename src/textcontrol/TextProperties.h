#pragma once
// Formatting that QTextFormat has no property for, kept as user properties so that RTF
// round trips and the PDF writer can use them. Lengths in twips.
#include <QTextFormat>

namespace TextProperties {

enum : int {
    FrameStyle = QTextFormat::UserProperty + 1,      // block: 1 left, 2 right, 4 top, 8 bottom line
    FrameLineWidth = QTextFormat::UserProperty + 2,  // block: line width, twips
    FrameDistance = QTextFormat::UserProperty + 3,   // block: distance text to frame, twips
    BaseLine = QTextFormat::UserProperty + 4,        // char: raised (+) or lowered (-), twips
    UnderlineStyle = QTextFormat::UserProperty + 5,  // char: 1 single, 2 double, 3 dotted, 4 dashed, 5 wave, 6 words
};

// All four lines of a frame.
constexpr int kFrameBox = 1 | 2 | 4 | 8;

} // namespace TextProperties
